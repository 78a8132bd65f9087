# Sourced by the build scripts.
# Runs a command with its output held back; shows the output only if it fails.
quiet() {
  local log rc=0
  log=$(mktemp)
  "$@" >"$log" 2>&1 || rc=$?
  [ "$rc" -eq 0 ] || { cat "$log"; echo "FAILED ($rc): $*" >&2; }
  rm -f "$log"
  return "$rc"
}
