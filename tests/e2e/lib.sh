# Sourced by the end-to-end scripts, the GUI monkey and the screenshots.

# needs TOOL...: ends the script as skipped (77) when a tool is missing.
needs() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
  done
}

# program_folder BIN_DIR: a temporary copy of the programs, its path printed;
# the caller removes it (and ends what runs from it) on exit.
program_folder() {
  local work
  work=$(mktemp -d)
  cp -r "$1"/. "$work/"
  echo "$work"
}

# write_settings FILE KEY=VALUE...: a settings file as the programs write it
# (one line each, CR LF).
write_settings() {
  local file=$1
  shift
  printf '%s\r\n' "$@" >"$file"
}

# stand_in FILE [MARK]: a program that only touches MARK (beside itself) when
# it starts, or does nothing.
stand_in() {
  if [ -n "${2:-}" ]; then
    printf '#!/bin/sh\necho "$@" >>"$(dirname "$0")/%s"\n' "$2" >"$1"
  else
    printf '#!/bin/sh\n' >"$1"
  fi
  chmod +x "$1"
}

# under_xvfb SECONDS SCRIPT ARGS...: runs bash SCRIPT on an 800x600 Xvfb
# display, ended after SECONDS.
under_xvfb() {
  local seconds=$1
  shift
  timeout "$seconds" xvfb-run -a -s "-screen 0 800x600x24" bash "$@"
}
