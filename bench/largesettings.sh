#!/usr/bin/env bash
# Start-up with a large user.reg: the CPU time Umbrill05 has used when its first
# window is painted (startwatch's cpu_ms, from /proc), on a private X server, for
# three settings files: a normal one, one of 34 MB shaped as settings are (keys
# of eight values of everyday length) and one of 3 million tiny keys (48 MB).
# The program's own values come last, after the bulk.
#
# Usage: bench/largesettings.sh <build folder> [runs]    (default 5 runs each)
set -euo pipefail

build=$(cd "${1:?usage: largesettings.sh <build folder> [runs]}" && pwd)
runs=${2:-5}
watch="$build/bench/startwatch"
[ -x "$build/program/Umbrill05" ] && [ -x "$watch" ] || { echo "largesettings.sh: build Umbrill05 and startwatch first" >&2; exit 1; }

work=$(mktemp -d)
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp -noreset 5>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 1 250); do [ -s "$work/display" ] && break; sleep 0.02; done
[ -s "$work/display" ] || { echo "largesettings.sh: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(cat "$work/display")" QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/runtime"
unset WAYLAND_DISPLAY SESSION_MANAGER DBUS_SESSION_BUS_ADDRESS
mkdir -m 700 "$XDG_RUNTIME_DIR"
mkdir "$work/program"
cp -a "$build/program/." "$work/program/"

own='[HKEY_CURRENT_USER\\umbrill.ini\\Settings]\r\n"ControlLanguage"="English"\r\n"KeySize"="42"\r\n"PasteFormat"="unicode"\r\n"LastLanguage"="French"\r\n'
for kind in normal shaped tiny; do
  mkdir -p "$work/$kind/umbrill"
  file="$work/$kind/umbrill/user.reg"
  printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\umbrill.ini]\r\n\r\n' >"$file"
  case $kind in
    shaped) awk 'BEGIN { for (k = 0; k < 67000; k++) {
                  printf "[HKEY_CURRENT_USER\\umbrill.ini\\Extra%d]\r\n", k
                  for (v = 0; v < 8; v++) printf "\"Value%d\"=\"some remembered text of everyday length %d\"\r\n", v, k
                  printf "\r\n" } }' >>"$file" ;;
    tiny) awk 'BEGIN { for (k = 0; k < 3000000; k++) printf "[HKCU\\%07d]\r\n", k }' >>"$file" ;;
  esac
  printf "$own" >>"$file"
done

for kind in normal shaped tiny; do
  : >"$work/$kind.out"
  for _ in $(seq 1 "$runs"); do
    XDG_CONFIG_HOME="$work/$kind" "$watch" --timeout 60000 -- "$work/program/Umbrill05" >>"$work/$kind.out"
  done
  cpu=$(sed -n 's/.*cpu_ms=\([0-9.]*\).*/\1/p' "$work/$kind.out" | sort -g |
        awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }')
  printf '%-8s %6s MB  CPU to the first paint: median %s ms of %s runs (%s)\n' "$kind" \
    "$(( $(stat -c %s "$work/$kind/umbrill/user.reg") / 1000000 ))" "$cpu" "$runs" \
    "$(sed -n 's/.*cpu_ms=\([0-9.]*\).*/\1/p' "$work/$kind.out" | tr '\n' ' ')"
done
