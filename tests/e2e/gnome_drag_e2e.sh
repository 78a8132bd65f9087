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
"$python3" "$lib_dir/textentry.py" --maximized 4 drop-target "$out" >"$work/entry.log" 2>&1 &
session_pids+=($!)
poll test -e "$out" || { echo "FAIL: the GTK 4 entry did not show"; cat "$work/entry.log"; exit 1; }
start_pad

printf before | xclip -selection clipboard -i
clipboard() { xclip -selection clipboard -o 2>/dev/null; }

# drag what key expected: drags the pad's key onto the entry, left of the pad
# and right of any text the entry holds; the entry must then hold expected.
drag_key() {
  local what=$1 expected=$3 answer
  answer=$(session_input drag $(pad_key_point "$2") 300 400) || fail "$what: $answer"
  if poll bash -c '[ "$(cat "$0")" = "$1" ]' "$out" "$expected"; then
    pass
  else
    fail "$what: the entry holds '$(cat "$out")', expected '$expected'"
  fi
  check "$what: the clipboard holds '$(clipboard)', not what it held" test "$(clipboard)" = before
}

drag_key "a pad key" 0 "é"
drag_key "a second pad key" 2 "éα"

kill "$app_pid" 2>/dev/null
wait "$app_pid" 2>/dev/null
app_pid=""
[ "$failures" -eq 0 ] || { echo "--- app"; cat "$work/app.log"; echo "--- mutter"; tail -n 20 "$work/mutter.log"; }
finish
