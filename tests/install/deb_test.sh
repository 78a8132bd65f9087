#!/usr/bin/env bash
# The Debian package: cpack builds it from the build folder, apt installs it on
# this machine, the installed program starts under a private X server until its
# window shows, and apt removes it again, leaving none of its files behind and
# no other package changed. Needs root and apt; skips without them. Since it
# changes the machine it runs on, it also skips unless UMBRILL_TEST_DEB=1 is set
# (.ci/run sets it).
# Usage: deb_test.sh <cpack> <build dir>
set -uo pipefail
cpack=$1 build=$2
. "$(dirname "$0")/installlib.sh"

[ "${UMBRILL_TEST_DEB:-}" = 1 ] ||
  skip "installs and removes the package on this machine; run with UMBRILL_TEST_DEB=1 to ask for it"
[ "$(id -u)" -eq 0 ] || skip "installing a package needs root"
need_tools apt-get dpkg dpkg-deb dpkg-query dpkg-shlibdeps Xvfb xdotool
if dpkg-query -W -f='${Status}' umbrill 2>/dev/null | grep -q ' installed$'; then
  skip "a package umbrill is installed on this machine already; this test would remove it"
fi
apt_get() { DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300 -y -q "$@"; }
installed_packages() { dpkg-query -W -f='${Package}:${Architecture} ${Version} ${Status}\n' | grep -v ' not-installed$' | sort; }

# --- build the package -------------------------------------------------------------------
"$cpack" -G DEB -B "$work/package" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 ||
  { echo "FAIL: cpack"; cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/package/umbrill_*.deb 2>/dev/null | head -n1)
[ -n "$deb" ] || { echo "FAIL: cpack made no umbrill_*.deb"; ls -R "$work/package"; exit 1; }
depends=$(dpkg-deb -f "$deb" Depends)
check "dependencies computed from the binary: '$depends'" \
  bash -c 'case "$0" in *libqt6widgets6*libc6*|*libc6*libqt6widgets6*) ;; *) exit 1 ;; esac' "$depends"
echo "package $(basename "$deb"): $(stat -c %s "$deb") bytes, Installed-Size $(dpkg-deb -f "$deb" Installed-Size) KiB"

# The package's paths, and which of them exist before it is installed.
dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./|/|; s|/$||' | grep -v '^$' >"$work/paths"
: >"$work/existed"
while IFS= read -r path; do
  { [ -e "$path" ] || [ -L "$path" ]; } && echo "$path" >>"$work/existed"
done <"$work/paths"
installed_packages >"$work/packages.before"

# --- install -----------------------------------------------------------------------------
remove_package() {
  dpkg-query -W -f='${Status}' umbrill 2>/dev/null | grep -q 'installed\|config-files' &&
    apt_get remove --purge umbrill >>"$work/apt.log" 2>&1
}
cleanup_hooks+=(remove_package)
if ! apt_get install --no-install-recommends "$deb" >"$work/apt.log" 2>&1; then
  echo "FAIL: apt-get install $deb"
  cat "$work/apt.log"
  exit 1
fi
check "the package is installed" bash -c "dpkg-query -W -f='\${Status}' umbrill | grep -q 'install ok installed'"
check "/usr/bin/umbrill resolves to the installed executable" \
  test "$(readlink -f /usr/bin/umbrill)" = /usr/lib/umbrill/Umbrill05
check "the executable is executable" test -x /usr/lib/umbrill/Umbrill05
check "umbrill is on the PATH" test "$(command -v umbrill)" = /usr/bin/umbrill
dpkg -L umbrill >"$work/listing"
while IFS= read -r path; do [ -d "$path" ] && [ ! -L "$path" ] || echo "$path"; done <"$work/listing" >"$work/files"
echo "installed: $(wc -l <"$work/files") files, $(xargs -d '\n' -a "$work/files" du -ck 2>/dev/null | tail -n1 | cut -f1) KiB on disk"

# --- start it ----------------------------------------------------------------------------
start_x
if start_program umbrill; then
  pass
  exit_program
else
  fail "the installed program did not show its window"
fi

# --- remove it ---------------------------------------------------------------------------
if apt_get remove --purge umbrill >>"$work/apt.log" 2>&1; then pass; else fail "apt-get remove --purge"; cat "$work/apt.log"; fi
check "the package is gone, configuration included" \
  bash -c "! dpkg-query -W -f='\${Status}' umbrill 2>/dev/null | grep -q 'installed\|config-files'"
left=()
while IFS= read -r path; do
  grep -qxF "$path" "$work/existed" && continue
  { [ -e "$path" ] || [ -L "$path" ]; } && left+=("$path")
done <"$work/listing"
check "nothing the package installed is left: ${left[*]:-}" test "${#left[@]}" -eq 0
installed_packages >"$work/packages.after"
check "no other package changed: $(diff "$work/packages.before" "$work/packages.after" | grep '^[<>]' | tr '\n' ' ')" \
  cmp -s "$work/packages.before" "$work/packages.after"

finish
