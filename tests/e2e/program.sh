#!/usr/bin/env bash
# The installed program run as a user runs it from a script, from a program
# folder of its own: silent and byte-exact through the loaded library, with
# no desktop library loaded; its options answer without converting; while a
# copy with its window open runs from the folder, a second start converts
# nothing and says why; so does the launcher without a display.
#   program.sh BIN_DIR TEST_DATA_DIR VERSION (major.minor.patch, as CMakeLists.txt sets it)
set -uo pipefail
bin=$1 data=$2 version=$3
work=$(mktemp -d) holder=
trap '[ -n "$holder" ] && kill -9 "$holder"; rm -rf "$work"' EXIT
dir="$work/Tolvane programma" tolvane="$work/Tolvane programma/tolvane"
mkdir "$dir"
cp "$bin/tolvane" "$bin/libConverttlv.so" "$bin/libtolvanevenster.so" "$dir/"
cp "$data/conversion/golden/basic.ste" "$work/taak.ste"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
run() { "$@" >"$work/out" 2>"$work/err"; code=$?; }
expect() {  # expect WHAT CODE STDOUT STDERR: the last run's exit code and exact output
  [ "$code" = "$2" ] || fail "$1: exit code $code, not $2"
  printf '%s' "$3" | cmp -s - "$work/out" || fail "$1: standard output $(cat -A "$work/out")"
  printf '%s' "$4" | cmp -s - "$work/err" || fail "$1: standard error $(cat -A "$work/err")"
}

run "$tolvane" "$work/taak.ste" "$work/uit.txt"
expect conversion 0 '' ''
cmp -s "$work/uit.txt" "$data/conversion/golden/basic.txt" || fail "the text file is not the golden one"
run "$tolvane" "$work/taak.ste" "$work/uit.txt" $'\xC4\x80'  # a third argument is not looked at
expect "a third argument" 0 '' ''
run "$tolvane" "$data/conversion/golden/bad_blocks.ste" "$work/uit.txt"
expect "a conversion with faults" 1 '' ''
grep -q $'^Nieuwe Fout\\[13\\][-0-9: ]* app\\.Converttlv\r$' "$dir/error.log" ||
  fail "the library does not report under its own name"
LD_DEBUG=libs "$tolvane" "$work/taak.ste" "$work/uit.txt" >/dev/null 2>"$work/libraries"
grep -q 'libConverttlv\.so' "$work/libraries" || fail "the conversion library was not loaded"
grep -q 'libQt6' "$work/libraries" && fail "the silent road loaded a desktop library"

# The extra outputs: beside the text file, in either order; a missing name is refused.
golden="$data/conversion/golden/basic"
for order in "--cup $work/taak.cup --gpx $work/taak.gpx" "--gpx $work/taak.gpx --cup $work/taak.cup"; do
  rm -f "$work/taak.cup" "$work/taak.gpx" "$work/uit.txt"
  run "$tolvane" $order "$work/taak.ste" "$work/uit.txt"
  expect "$order" 0 '' ''
  cmp -s "$work/uit.txt" "$golden.txt" && cmp -s "$work/taak.cup" "$golden.cup" &&
    cmp -s "$work/taak.gpx" "$golden.gpx" || fail "$order: not the three golden files"
done
run "$tolvane" --cup "$work/geen map/taak.cup" "$work/taak.ste" "$work/uit.txt"
expect "a CUP file that cannot be written" 1 '' ''
cmp -s "$work/uit.txt" "$golden.txt" || fail "a failed CUP file changed the text file"
for arguments in "--cup" "--gpx $work/taak.gpx" "--cup $work/taak.cup --gpx"; do
  run "$tolvane" $arguments
  expect "$arguments" 2 '' $'tolvane: na --cup of --gpx volgt een bestandsnaam, en daarna het exchange-bestand (tolvane --help).\n'
done

run "$tolvane" --version
expect --version 0 "tolvane ${version%.*}"$'\n' ''
run "$tolvane" "taak "$'\xC4\x80'".ste"  # U+0100 has no Windows-1252 form
expect "a name without a Windows-1252 form" 2 '' \
  $'Fout: De volgende fout is opgetreden\r\nDe bestandsnaam is ongeldig (opstartargument 1)\n'
usage="Gebruik: tolvane [--cup CUP-bestand] [--gpx GPX-bestand] [exchange-bestand [tekst-bestand]]

Zonder argumenten opent tolvane het hoofdvenster.
Met een StrePla exchange bestand (*.ste) zet tolvane dat zonder venster om in het
tekstbestand voor GARtrip. Zonder tekst-bestand gebruikt tolvane het opgeslagen pad
(GartripFile= in de instellingen).
Met --cup en --gpx schrijft tolvane dezelfde punten en routes ook als SeeYou CUP
(voor een vliegcomputer) en als GPX; zonder deze opties de opgeslagen paden
(CupFile= en GpxFile=), als die er zijn.

Afsluitcodes:
  0  omgezet zonder fouten
  1  omgezet, maar met fouten (zie error.log)
  2  het starten is mislukt (zie error.log)
  3  tolvane draait al vanuit deze map; er is niets gedaan

Instellingen: $dir/tolvane.kvr
Foutenlog:    $dir/error.log
"
for option in --help -h '/?'; do
  run "$tolvane" "$option"
  expect "$option" 0 "$usage" ''
done
run env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$tolvane"
expect "the window without a display" 2 '' \
  $'tolvane: Er is geen beeldscherm om het hoofdvenster op te tonen.\r\nGeef een exchange bestand '\
$'op de opdrachtregel op om zonder venster om te zetten (tolvane --help).\n'
run env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin/tlvexpress"
expect "the launcher without a display" 2 '' \
  $'tlvexpress: Er is geen beeldscherm: tlvexpress start StrePla en tolvane alleen op een bureaublad.\n'

# A window module without its entry point: the start fails, and the log says why.
mkdir "$work/zonder"
cp "$bin/tolvane" "$bin/libConverttlv.so" "$work/zonder/"
cp "$bin/libConverttlv.so" "$work/zonder/libtolvanevenster.so"
run "$work/zonder/tolvane"
expect "a window module without its entry point" 2 '' \
  $'Fout: De volgende fout is opgetreden\r\nTechnische fout\n'
grep -q "Technische fout \[Can't find DLL entry point TolvaneVenster\]" "$work/zonder/error.log" ||
  fail "the log does not name the missing entry point"

# The window's copy holds the claim before it reads (and so makes) its settings
# file; the conversions above made one already, so it goes first.
rm -f "$dir/tolvane.kvr"
QT_QPA_PLATFORM=offscreen "$tolvane" >/dev/null 2>&1 &
holder=$!
disown
for _ in $(seq 300); do [ -e "$dir/tolvane.kvr" ] && break; sleep 0.1; done
[ -e "$dir/tolvane.kvr" ] || fail "the window's copy did not start"
rm -f "$work/uit.txt"
run "$tolvane" "$work/taak.ste" "$work/uit.txt"
expect "a second copy" 3 '' $'tolvane: Er draait al een tolvane vanuit deze map; er is niets omgezet.\n'
[ -e "$work/uit.txt" ] && fail "the second copy converted"
[ "$failures" = 0 ] && echo passed
