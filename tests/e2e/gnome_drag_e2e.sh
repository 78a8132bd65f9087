#!/usr/bin/env bash
# Characters dragged out of the pad into a native Wayland window on a headless
# GNOME session (mutter, XWayland): the pad runs on XWayland, and the
# compositor's own pointer presses one of its keys, moves with the button held
# onto a GTK 4 entry and lets go there. mutter carries the drag from X11 to
# Wayland; the entry must then hold the character, and a drag is no click: the
# clipboard keeps what it held.
# Usage: gnome_drag_e2e.sh <built Umbrill05> <built xwaylandpin library>
set -uo pipefail

exe=$1
pin=$2
. "$(dirname "$0")/../lib/xsession.sh"
. "$(dirname "$0")/../lib/waylandsession.sh"
need_tools xdotool xclip xwininfo
start_gnome_session "$pin"

# é € α, one row of three keys.
program_folder '[Umbrill]\r\nLanguages=Test\r\nTest="DejaVu Sans",12,3,233,8364,945\r\n'
write_store '"ControlLanguage"="English"\r\n"PasteFormat"="unicode"\r\n"LastLanguage"="Test"\r\n"WindowPosition"="600,500"\r\n'

# The target: a GTK 4 entry filling the screen, with the pad above it.
out="$work/dropped.txt"
# Its Wayland messages tell when it takes a drag: it accepts one of the
# drag's formats.
WAYLAND_DEBUG=client "$python3" "$lib_dir/textentry.py" --maximized 4 drop-target "$out" >"$work/entry.log" 2>&1 &
session_pids+=($!)
poll test -e "$out" || { echo "FAIL: the GTK 4 entry did not show"; cat "$work/entry.log"; exit 1; }
# The pad's part of each drag, for the failure report.
QT_LOGGING_RULES="qt.qpa.xdnd=true" start_pad

printf before | xclip -selection clipboard -i
clipboard() { xclip -selection clipboard -o 2>/dev/null; }

accepted() { grep -c 'wl_data_offer@[0-9]*\.accept([0-9]*, "' "$work/entry.log"; }

# drag what key expected: presses the pad's key, moves with the button held
# onto the entry (left of the pad, right of any text it holds) and lets go
# once the entry takes the drag; the entry must then hold expected.
drag_key() {
  local what=$1 expected=$3 tries=0 before from
  before=$(accepted)
  from=($(pad_key_point "$2"))
  # On a loaded machine the desktop may lose a motion, or take a button sent
  # at once before it: the press waits until the pad's display has the
  # pointer on the key.
  until session_input point "${from[@]}" && POLL_TRIES=25 poll bash -c \
      '[ "$(xdotool getmouselocation | cut -d" " -f1-2)" = "x:$0 y:$1" ]' "${from[@]}"; do
    [ $((tries += 1)) -le 20 ] || { fail "$what: the pointer is at $(xdotool getmouselocation), not on the key at ${from[*]}"; return; }
  done
  tries=0
  session_input press && session_input moveto 300 400 || { fail "$what: no pointer"; return; }
  # On a loaded machine the drag may start late: it reaches the entry on a
  # later motion.
  while [ "$(accepted)" -le "$before" ] && [ $((tries += 1)) -le 100 ]; do
    session_input moveto 302 400 && session_input moveto 300 400
  done
  # The entry's answer goes back through the desktop to the pad.
  sleep 0.3
  session_input release
  if poll bash -c '[ "$(cat "$0")" = "$1" ]' "$out" "$expected"; then
    pass
  else
    fail "$what: the entry holds '$(cat "$out")', expected '$expected'$([ "$tries" -gt 100 ] && echo "; it never took the drag")"
  fi
  check "$what: the clipboard holds '$(clipboard)', not what it held" test "$(clipboard)" = before
}

drag_key "a pad key" 0 "é"
drag_key "a second pad key" 2 "éα"

kill "$app_pid" 2>/dev/null
wait "$app_pid" 2>/dev/null
app_pid=""
[ "$failures" -eq 0 ] || { echo "--- the pad's drags"; grep -E "starting drag|sending (XdndEnter|drop)|XdndFinished|selection request" "$work/app.log"; echo "--- mutter"; tail -n 20 "$work/mutter.log"; }
finish
