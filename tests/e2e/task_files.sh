#!/usr/bin/env bash
# The CUP and GPX files as readers no one here wrote see them.  For every
# golden exchange file and the bundled example, tolvane writes both; xmllint
# checks the GPX against the GPX 1.1 schema, and GPSBabel reads the CUP and
# the GPX back to the same waypoints (name, position to a millionth of a
# degree, elevation).  For the well-formed files (the basic golden file and the
# example) those waypoints, and GPSBabel's routes from the GPX, are what the
# exchange file holds, read here by awk.
#   task_files.sh BIN_DIR TEST_DATA_DIR EXAMPLES_DIR
set -uo pipefail
bin=$1 data=$2 examples=$3
. "$(dirname "$0")/lib.sh"
needs gpsbabel xmllint
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# GPSBabel's waypoints as "lat,lon,name,elevation" lines, the first COUNT only
# (it reads a CUP file's task lines as waypoints too).
waypoints() {  # FORMAT FILE COUNT
  gpsbabel -i "$1" -f "$2" -o unicsv -F - | awk -F, -v n="$3" 'NR > 1 && NR <= n + 1 {
    printf "%s,%s,%s,%.1f\n", $2, $3, $4, $5 }'
}

# The routes GPSBabel reads from a GPX file: "route NAME" and "point NAME" lines.
routes() {
  gpsbabel -r -i gpx -f "$1" -x nuketypes,waypoints -o gpx -F - | awk '
    /<rte>/ { want = "route" } /<rtept / { want = "point" }
    /<name>/ && want { sub(/.*<name>/, ""); sub(/<\/name>.*/, ""); print want " " $0; want = "" }'
}

# The exchange file's points and routes, read by awk: the same two listings.
exchange() {  # FILE waypoints|routes
  tr -d '\r' <"$1" | awk -v want="$2" '
    function degrees(text, digits,   d) {
      d = substr(text, 2, digits) + substr(text, digits + 3, 2) / 60 + substr(text, digits + 6, 2) / 6000
      return substr(text, 1, 1) ~ /[SW]/ ? -d : d
    }
    /^point/ { kind = "point"; n++ } /^route/ { kind = "route" }
    /^ *name = / { v = $0; sub(/^ *name = "/, "", v); sub(/"$/, "", v)
      if (kind == "point") name[n] = v; else if (want == "routes") print "route " v }
    kind == "point" && /^ *lon = / { lon[n] = degrees($3, 3) }
    kind == "point" && /^ *lat = / { lat[n] = degrees($3, 2) }
    kind == "point" && /^ *elev = / { elev[n] = $3 }
    kind == "route" && /^ *waypoint = / && want == "routes" { print "point " name[$3] }
    END { if (want == "waypoints") for (i = 1; i <= n; i++)
            printf "%.6f,%.6f,\"%s\",%.1f\n", lat[i], lon[i], name[i], elev[i] }'
}

for ste in "$data"/conversion/golden/*.ste "$examples"/noord-nederland.ste; do
  name=$(basename "$ste" .ste)
  cup="$work/$name.cup" gpx="$work/$name.gpx"
  "$bin/tolvane" --cup "$cup" --gpx "$gpx" "$ste" "$work/$name.txt" >/dev/null 2>&1
  [ -s "$cup" ] && [ -s "$gpx" ] || { fail "$name: no CUP or GPX file"; continue; }
  xmllint --noout --schema "$data/data/gpx-1.1.xsd" "$gpx" 2>"$work/schema" ||
    fail "$name.gpx is no valid GPX 1.1: $(cat "$work/schema")"
  count=$(grep -c '<wpt ' "$gpx")
  waypoints gpx "$gpx" "$count" >"$work/$name.from-gpx"
  waypoints cup "$cup" "$count" >"$work/$name.from-cup"
  [ "$(wc -l <"$work/$name.from-gpx")" = "$count" ] || fail "$name: GPSBabel read $count waypoints? $(cat "$work/$name.from-gpx")"
  diff "$work/$name.from-gpx" "$work/$name.from-cup" >"$work/diff" ||
    fail "$name: GPSBabel reads other waypoints from the CUP than from the GPX: $(cat "$work/diff")"
  if [ "$name" = basic ] || [ "$name" = noord-nederland ]; then
    diff <(exchange "$ste" waypoints) "$work/$name.from-gpx" >"$work/diff" ||
      fail "$name: the waypoints are not the exchange file's: $(cat "$work/diff")"
    diff <(exchange "$ste" routes) <(routes "$gpx") >"$work/diff" ||
      fail "$name: the routes are not the exchange file's: $(cat "$work/diff")"
  fi
done
[ "$failures" = 0 ] && echo passed
