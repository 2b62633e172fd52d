# Sourced: the environment in which wine runs the Windows build headless.
#   source scripts/wine-env.sh QT_FOLDER
# A prefix of its own, no Mono/Gecko prompts, the mingw runtime and Qt's DLLs
# on wine's search path.  wine passes no variable beginning with QT_ to a
# Windows program: WINEQT_X arrives as QT_X.
export WINEPREFIX="${TOLVANE_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/tolvane/wine}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEQT_QPA_PLATFORM=offscreen
# The offscreen platform's fonts: the host's DejaVu, as the Linux tests have them.
export WINEQT_QPA_FONTDIR='Z:\usr\share\fonts\truetype\dejavu'
export WINEPATH="Z:${1//\//\\}\\bin;Z:\\usr\\lib\\gcc\\x86_64-w64-mingw32\\12-posix;Z:\\usr\\x86_64-w64-mingw32\\lib"
[ -d "$WINEPREFIX" ] || { mkdir -p "$WINEPREFIX"; wineboot -i >/dev/null 2>&1 || true; }
