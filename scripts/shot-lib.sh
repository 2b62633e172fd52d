# Sourced by the screenshot scripts under Xvfb: OUT is the pictures' folder.
#   source shot-lib.sh OUT
set -u
out=$1
# The window with the frame openbox gives it (_NET_FRAME_EXTENTS), as a pilot sees it.
shot() {  # NAME WINDOW [FILE]
  local info x y width height extents left=0 right=0 top=0 bottom=0
  info=$(xwininfo -id "$2")
  x=$(awk '/Absolute upper-left X/ {print $NF}' <<<"$info")
  y=$(awk '/Absolute upper-left Y/ {print $NF}' <<<"$info")
  width=$(awk '/Width:/ {print $NF}' <<<"$info")
  height=$(awk '/Height:/ {print $NF}' <<<"$info")
  extents=$(xprop -id "$2" _NET_FRAME_EXTENTS | grep -o '[0-9, ]*$' | tr -d ' ')
  [ -n "$extents" ] && IFS=, read -r left right top bottom <<<"$extents"
  import -window root -crop "$((width + left + right))x$((height + top + bottom))+$((x - left))+$((y - top))" \
    +repage "${3:-$out/$1.png}"
}
window() {  # the first visible window with that name; waits up to 30 s
  local id
  for _ in $(seq 300); do
    id=$(xdotool search --onlyvisible --name "$1" | head -1) && [ -n "$id" ] && break
    sleep 0.1
  done
  echo "$id"
}
# The status bar's strip of a picture of the main window.
strip() { convert "$1" -gravity south -crop 0x24+0+4 +repage "$2"; }
