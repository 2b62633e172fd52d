# Sourced by the scripts: installing missing packages, and quiet steps that
# say why they failed.

# install_missing PACKAGE...: installs (apt-get) the Debian packages that are
# not installed yet, as root or through sudo.
install_missing() {
  local missing=() package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$package")
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  echo "installing ${missing[*]}"
  local sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  quietly "apt-get update" "${sudo_cmd[@]}" apt-get update -qq
  quietly "installing ${missing[*]}" env DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" \
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# quietly NAME COMMAND...: runs COMMAND with its output kept aside; when it
# fails, names the step and prints the last 60 lines of that output.
quietly() {
  local name=$1 log code=0
  shift
  log=$(mktemp)
  "$@" >"$log" 2>&1 || code=$?
  if [ "$code" -ne 0 ]; then
    echo "FAILED: $name (exit $code); its last lines:" >&2
    tail -n 60 "$log" >&2
  fi
  rm -f "$log"
  return "$code"
}
