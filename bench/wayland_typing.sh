#!/usr/bin/env bash
# Click to character on a headless GNOME Wayland session, or with --kde on a
# KDE Plasma one (KWin): the compositor's pointer clicks a key of the pad (on
# XWayland), the RemoteDesktop portal types into a native GTK 4 entry, and
# the time from the button press to the entry's change is measured, for a key
# of the `us` layout (a) and for one typed with the Unicode entry (€; on KDE
# the pad is told that IBus is the input method, else € goes to the
# clipboard). The click holds the button 30 ms, and the pad types on release.
# Prints the median and the maximum of each.
# Usage: bench/wayland_typing.sh [--kde] <build folder> [clicks per key, default 20]
set -uo pipefail
kde=""
[ "${1:-}" = --kde ] && { kde=1; shift; }
build=$1
clicks=${2:-20}
. "$(dirname "$0")/../tests/lib/xsession.sh"
. "$(dirname "$0")/../tests/lib/waylandsession.sh"
need_tools xdotool xwininfo
if [ -n "$kde" ]; then
  start_kwin_session
  export QT_IM_MODULE=ibus
else
  start_gnome_session "$build/tests/e2e/libxwaylandpin.so"
fi

prog="$work/program"
mkdir -p "$prog" "$XDG_CONFIG_HOME/umbrill"
cp "$build/program/Umbrill05" "$prog/"
printf '[Umbrill]\r\nLanguages=Test\r\nTest="DejaVu Sans",12,5,97,8364\r\n' >"$prog/Umbrill05.ini"
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\umbrill.ini\\Settings]\r\n"ControlLanguage"="English"\r\n"PasteFormat"="unicode"\r\n"LastLanguage"="Test"\r\n"WindowPosition"="600,500"\r\n"TypeIntoWindow"="1"\r\n' \
  >"$XDG_CONFIG_HOME/umbrill/user.reg"
"$python3" "$lib_dir/textentry.py" 4 typing-target "$work/out.txt" "$work/times.txt" >/dev/null 2>&1 &
session_pids+=($!)
poll test -e "$work/out.txt" || { echo "FAIL: the GTK 4 entry did not show"; exit 1; }
QT_QPA_PLATFORM=xcb "$prog/Umbrill05" >"$work/app.log" 2>&1 &
app_pid=$!
# KWin's portal asks nothing.
if [ -z "$kde" ]; then
  "$python3" "$lib_dir/answerconsent.py" 30 || exit 1
  sleep 1
else
  poll bash -c 'xdotool search --onlyvisible --name "^Test Umbrill$" >/dev/null 2>&1' || { echo "FAIL: no pad"; exit 1; }
  sleep 3
fi
main=$(xdotool search --onlyvisible --name '^Test Umbrill$' | head -n1)
x=$(xwininfo -id "$main" | sed -n 's/.*Absolute upper-left X: *//p')
y=$(xwininfo -id "$main" | sed -n 's/.*Absolute upper-left Y: *//p')
height=$(xwininfo -id "$main" | sed -n 's/^ *Height: *//p')
for key in 0 1; do
  : >"$work/times.txt"
  : >"$work/input.log"
  for _ in $(seq 1 "$clicks"); do
    session_input click $((x + key * 42 + 21)) $((y + height - 21)) || exit 1
    sleep 0.4
  done
  sleep 1
  "$python3" - "$work/input.log" "$work/times.txt" "$([ "$key" = 0 ] && echo 'a (layout key)' || echo '€ (Unicode entry)')" <<'PY'
import statistics
import sys
presses = [int(line.split()[1]) for line in open(sys.argv[1]) if line.startswith("press")]
changes = [int(line.split()[0]) for line in open(sys.argv[2]) if line.strip()]
latencies = []
for press in presses:
    later = [change for change in changes if change > press]
    if later:
        latencies.append((min(later) - press) / 1e6)
print("%s: %d of %d clicks arrived; median %.1f ms, max %.1f ms"
      % (sys.argv[3], len(latencies), len(presses), statistics.median(latencies), max(latencies)))
PY
done
