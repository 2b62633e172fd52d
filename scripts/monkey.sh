#!/usr/bin/env bash
# A seeded GUI monkey: tolvane in watch mode under Xvfb with a real tray host,
# random keys and clicks into whatever window of it is in front, while a
# script rewrites the exchange export (now and then by deleting and creating
# it) and two logger exports.  The program is started again whenever it ends.
# Fails on a sanitizer report, a crash signal, a window that does not answer a
# second start's show request within 5 seconds, or a path that changes while
# only keys that never type were pressed.
#   scripts/monkey.sh [SECONDS [SEED [BIN_DIR]]]
# BIN_DIR defaults to build-asan/bin (the sanitizer build of scripts/test.sh).
set -uo pipefail
cd "$(dirname "$0")/.." || exit 2
seconds=${1:-90}
seed=${2:-$(date +%s)}
bin=$(realpath "${3:-build-asan/bin}")
echo "monkey: seed $seed, ${seconds}s, $bin"
source tests/e2e/lib.sh
needs xvfb-run trayer xdotool
[ -x "$bin/tolvane" ] || { echo "monkey: no $bin/tolvane"; exit 2; }

work=$(program_folder "$bin")
trap 'pkill -KILL -f "$work/tolvane" 2>/dev/null; rm -rf "$work"' EXIT
cp examples/noord-nederland.ste "$work/export.ste"
cp examples/noord-nederland.ste "$work/noord.ste"
sed 's/"Eelde"/"Eelde Noord"/' examples/noord-nederland.ste >"$work/ander.ste"
# Stand-ins for StrePla, GARtrip and the loggers' programs: they only leave a mark.
for program in StrePla GARtrip logger1 logger2; do stand_in "$work/$program" "$program.gestart"; done
: >"$work/logger1.igc"
: >"$work/logger2.igc"
write_settings "$work/tolvane.kvr" "StrePlaFile=$work/export.ste" "GartripFile=$work/uit.txt" \
  "GartipProgramma=$work/GARtrip" "StreplaProgramma=$work/StrePla" StartGartrip=1 \
  AutoCheckStrepla=1 CheckForGARtrip=1 "Loggers=*Een*X*$work/logger1*$work/logger1.igc" \
  "Loggers=*Twee*X*$work/logger2*$work/logger2.igc"

cat >"$work/monkey-inside.sh" <<'INSIDE'
set -u
work=$1 seconds=$2 seed=$3
cd "$work"
export HOME=$work XDG_CONFIG_HOME=$work/config
export ASAN_OPTIONS="detect_leaks=0:halt_on_error=1:log_path=$work/sanitizer"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:log_path=$work/sanitizer"
RANDOM=$seed
start=$SECONDS
fail() { echo "monkey: FAIL after $((SECONDS - start))s (seed $seed): $*"; exit 1; }
trap 'kill $(jobs -p) 2>/dev/null' EXIT
trayer --expand false --width 10 --height 32 >/dev/null 2>&1 &

# A sanitizer report: wait until it is complete, then show it whole.
check_reports() {
  ls "$work"/sanitizer.* >/dev/null 2>&1 || return
  sleep 3
  fail "sanitizer report:
$(cat "$work"/sanitizer.*)"
}

main=""
starts=0 keys_sent=0 clicks=0
launch() {
  ./tolvane >>"$work/tolvane.out" 2>&1 &
  main=$!
  starts=$((starts + 1))
}
# The program ended: by its own unload (0) is fine, a signal or any other code is not.
check_main() {
  kill -0 "$main" 2>/dev/null && return
  wait "$main"
  local code=$?
  [ "$code" -eq 0 ] || fail "tolvane ended with $code"
  launch
  sleep 2
}
# A second start asks the running copy to show its window; it must do so within 5 s.
check_answers() {
  ./tolvane >>"$work/tolvane.out" 2>&1 &
  local second=$!
  sleep 1
  if kill -0 "$second" 2>/dev/null; then  # the first had just ended: this one is the program now
    main=$second
    return
  fi
  wait "$second"
  local code=$?
  [ "$code" -eq 3 ] || fail "a second start ended with $code"
  for _ in $(seq 40); do
    xdotool search --onlyvisible --name '^TolVANE' >/dev/null 2>&1 && return
    kill -0 "$main" 2>/dev/null || return
    sleep 0.1
  done
  fail "the window did not answer a show request within 5 seconds"
}

# StrePla and the loggers write their exports now and then.
(
  RANDOM=$((seed + 1))
  while :; do
    sleep "0.$((RANDOM % 9 + 1))"
    case $((RANDOM % 6)) in
      0) rm -f export.ste; sleep 0.2; cp ander.ste export.ste ;;
      1 | 2) cp "$( ((RANDOM % 2)) && echo ander.ste || echo noord.ste)" export.ste.new &&
        mv export.ste.new export.ste ;;
      3) echo "$RANDOM" >>logger1.igc ;;
      4) echo "$RANDOM" >>logger2.igc ;;
      5) touch -d "@$(($(date +%s) + 1))" export.ste ;;
    esac
  done
) &

# Keys that never type: Alt with a letter that is no access key, F1 (also in a
# dialog), moves of the focus.  None of them may change a path field.
quiet=(alt+q alt+z alt+k alt+w alt+y alt+u alt+m F1 Tab shift+Tab Down Up Right Left)
keys=(F5 ctrl+s ctrl+g ctrl+t ctrl+h alt+b alt+i alt+h alt+e alt+o alt+a alt+s alt+n
  Return Escape space ctrl+Tab a x 1 period slash BackSpace "${quiet[@]}")
# Brings one of the program's windows, by chance, to the front as $window.
front() {
  local windows
  windows=($(xdotool search --onlyvisible --pid "$main" 2>/dev/null))
  [ ${#windows[@]} -gt 0 ] || return 1
  window=${windows[$((RANDOM % ${#windows[@]}))]}
  xdotool windowfocus "$window" 2>/dev/null
}

# The main window's paths as its "Opslaan" (Ctrl+S) stores them; fails when
# nothing was stored (a box or dialog holds the window back).
stored_paths() {
  local window stamp
  stamp=$(stat -c %y tolvane.kvr 2>/dev/null)
  window=$(xdotool search --onlyvisible --name '^TolVANE$' 2>/dev/null | head -1)
  [ -n "$window" ] && xdotool windowfocus "$window" key ctrl+s 2>/dev/null
  sleep 0.3
  [ "$(stat -c %y tolvane.kvr 2>/dev/null)" != "$stamp" ] || return 1
  grep -a -E '^(StrePlaFile|GartripFile)=' tolvane.kvr 2>/dev/null
}
# A run of keys that never type, into whatever window is in front: the stored
# paths stay.  Only when both stores happened, and only while no box, dialog
# or help window is up (a box's own access keys would answer it).
others() {  # the program's visible windows other than the main window
  local window
  for window in $(xdotool search --onlyvisible --pid "$main" 2>/dev/null); do
    [ "$(xdotool getwindowname "$window" 2>/dev/null)" = TolVANE ] || echo "$window"
  done
}
quiet_keys() {
  local before after key window
  for _ in 1 2 3 4 5; do  # Escape closes boxes, dialogs and help without storing anything
    for window in $(others); do xdotool windowfocus "$window" key Escape 2>/dev/null; done
    sleep 0.2
  done
  [ -z "$(others)" ] || return 0
  before=$(stored_paths) || return 0
  for _ in 1 2 3 4 5 6 7 8; do
    key=${quiet[$((RANDOM % ${#quiet[@]}))]}
    front && xdotool key "$key" 2>/dev/null
    sleep 0.05
  done
  after=$(stored_paths) || return 0
  [ "$before" = "$after" ] || fail "a path changed without a typed key:
$before
$after"
  quiet_runs=$((quiet_runs + 1))
}
quiet_runs=0
launch
sleep 3
start=$SECONDS
next_check=$((SECONDS + 5))
while [ $((SECONDS - start)) -lt "$seconds" ]; do
  check_reports
  check_main
  if [ "$SECONDS" -ge "$next_check" ]; then
    check_answers
    quiet_keys
    next_check=$((SECONDS + 5))
  fi
  if front; then
    if ((RANDOM % 3 == 0)); then
      eval "$(xdotool getwindowgeometry --shell "$window" 2>/dev/null)"
      if [ -n "${WIDTH:-}" ] && [ "${WIDTH:-0}" -gt 0 ] && [ "${HEIGHT:-0}" -gt 0 ]; then
        xdotool mousemove --window "$window" $((RANDOM % WIDTH)) $((RANDOM % HEIGHT)) click 1 \
          2>/dev/null
        clicks=$((clicks + 1))
      fi
    else
      xdotool key "${keys[$((RANDOM % ${#keys[@]}))]}" 2>/dev/null
      keys_sent=$((keys_sent + 1))
    fi
  fi
  sleep "0.0$((RANDOM % 9 + 1))"
done
check_reports
check_main
check_answers
count() { cat "$@" 2>/dev/null | wc -l; }
echo "monkey: $keys_sent keys, $clicks clicks, $quiet_runs quiet runs, $starts starts; started: GARtrip $(count GARtrip.gestart)," \
  "StrePla $(count StrePla.gestart), loggers $(count logger1.gestart logger2.gestart)"
echo "monkey: passed, seed $seed, ${seconds}s"
INSIDE

timeout $((seconds + 120)) xvfb-run -a -s "-screen 0 1024x768x24" \
  bash "$work/monkey-inside.sh" "$work" "$seconds" "$seed"
code=$?
[ $code -eq 124 ] && echo "monkey: FAIL, the run did not end in time (seed $seed)"
exit $code
