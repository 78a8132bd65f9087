# Helpers shared by the install tests; sourced, not run.
. "$(dirname "${BASH_SOURCE[0]}")/../lib/xsession.sh"

# Installs the build in <build dir> to a prefix whose path has blanks; sets $prefix.
install_with_blanks() {  # cmake build-dir
  prefix="$work/install prefix/with blanks"
  "$1" --install "$2" --prefix "$prefix" >"$work/install.log" 2>&1 || {
    echo "FAIL: cmake --install to '$prefix'"
    cat "$work/install.log"
    exit 1
  }
}

# The desktop id: the name of the one desktop entry installed; sets $id.
find_desktop_id() {
  local entries=("$prefix"/share/applications/*.desktop)
  if [ "${#entries[@]}" -ne 1 ] || [ ! -f "${entries[0]}" ]; then
    echo "FAIL: expected one desktop entry in $prefix/share/applications, found: ${entries[*]}"
    exit 1
  fi
  id=$(basename "${entries[0]}" .desktop)
}

