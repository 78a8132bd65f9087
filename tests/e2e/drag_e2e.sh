#!/usr/bin/env bash
# Characters dragged out of the real program into another one under a private
# X server: a pad key and a result of Find Character, pressed and moved by
# the pointer (xdotool), dropped into a GTK 3 entry, which writes down what
# arrived; then a key again with Type into Window on, while the pad takes no
# focus. A drag is no click: the clipboard keeps what it held. While a key is
# dragged, its selection answers a request made at any time.
# Usage: drag_e2e.sh <path of the built Umbrill05>
set -uo pipefail

exe=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../lib/xsession.sh"
need_tools Xvfb xdotool xclip xwd xprop
py=/usr/bin/python3
[ -x "$py" ] || py=$(command -v python3) || skip "python3 is missing"
"$py" -c 'import gi; gi.require_version("Gtk", "3.0"); from gi.repository import Gtk' 2>/dev/null \
  || skip "python3-gi with GTK 3 is missing (tools/install-deps.sh installs it)"
start_x

# é € α, one row of 42-pixel keys.
program_folder '[Umbrill]\r\nLanguages=Test\r\nTest="DejaVu Sans",12,3,233,8364,945\r\n'
write_store '"ControlLanguage"="English"\r\n"PasteFormat"="unicode"\r\n"LastLanguage"="Test"\r\n"WindowPosition"="500,400"\r\n'

entry_out="$work/entry.txt"
: >"$entry_out"
"$py" "$here/gtk_entry.py" gtk-target "$entry_out" &
gtk_pid=$!
stop_entry() { kill "$gtk_pid" 2>/dev/null; }
cleanup_hooks+=(stop_entry)
poll find_window '^gtk-target$' || { echo "FAIL: no GTK entry"; exit 1; }
entry=$wid

"$prog/Umbrill05" >"$work/app.log" 2>&1 &
app_pid=$!
poll find_program_window '^Test Umbrill$' || { echo "FAIL: no pad"; cat "$work/app.log"; exit 1; }
main=$wid
printf before | xclip -selection clipboard -i
clipboard() { xclip -selection clipboard -o -t UTF8_STRING 2>/dev/null; }

# The point where the entry takes a drop: right of any text it holds.
drop_point() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$entry")"
  echo "$((X + WIDTH - 40)) $((Y + HEIGHT / 2))"
}
key_point() {  # key index from 0, in the row at the bottom of the pad
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$main")"
  echo "$((X + $1 * 42 + 21)) $((Y + HEIGHT - 21))"
}
# drag what "x y" expected [while]: presses at x y, moves in steps to the
# entry, runs the command while (if given) and lets go; the entry must then
# hold expected, and the clipboard what it held.
drag() {
  local what=$1 from=($2) expected=$3 while=${4:-} to step
  to=($(drop_point))
  xdotool mousemove "${from[0]}" "${from[1]}" mousedown 1
  for step in 1 2 3 4 5 6 7 8; do
    xdotool mousemove $((from[0] + (to[0] - from[0]) * step / 8)) $((from[1] + (to[1] - from[1]) * step / 8))
    sleep 0.05
  done
  xdotool mousemove "${to[0]}" "${to[1]}"
  sleep 0.1
  [ -z "$while" ] || $while
  xdotool mouseup 1
  if poll bash -c '[ "$(cat "$0")" = "$1" ]' "$entry_out" "$expected"; then
    pass
  else
    fail "$what: the entry holds '$(cat "$entry_out")', expected '$expected'"
  fi
  check "$what: the clipboard holds '$(clipboard)', not what it held" test "$(clipboard)" = before
}

# While a key is dragged, its selection tells its formats and gives its text
# to whoever asks, at any time: GNOME's bridge into Wayland windows asks so,
# and Qt's drag alone answers only at the time of a drop.
selection_answers() {
  local answer formats
  answer=$(timeout 10 "$py" "$here/xdndselection.py" 2>&1)
  formats=" $(head -n1 <<<"$answer") "
  check "the dragged key's selection lists '$formats', without UTF8_STRING" grep -qF " UTF8_STRING " <<<"$formats"
  check "the dragged key's selection lists '$formats', without UTF-8 text" grep -qF " text/plain;charset=utf-8 " <<<"$formats"
  check "the dragged key's selection gives '$(tail -n1 <<<"$answer")', not é" test "$(tail -n1 <<<"$answer")" = é
}
drag "a pad key" "$(key_point 0)" "é" selection_answers

# A result of Find, moved off the entry first.
timeout 5 xdotool windowfocus --sync "$main" 2>/dev/null
xdotool key ctrl+f
if poll find_program_window '^Find Character$'; then
  find=$wid
  xdotool windowmove --sync "$find" 560 0
  timeout 5 xdotool windowfocus --sync "$find" 2>/dev/null
  shot() { xwd -silent -id "$find" | md5sum; }
  empty=$(shot)
  xdotool type --delay 20 "euro sign"
  # The results have come once the window shows them and stops changing.
  settled() { local now; now=$(shot); [ "$now" != "$empty" ] && [ "$now" = "${last:-}" ] || { last=$now; return 1; }; }
  POLL_TRIES=300 poll settled
  # The first result: the top left key under the search field.
  eval "$(xdotool getwindowgeometry --shell "$find")"
  drag "a result of Find" "$((X + 32)) $((Y + 66))" "é€"
  timeout 5 xdotool windowfocus --sync "$find" 2>/dev/null
  xdotool key Escape
  poll bash -c '! xdotool search --onlyvisible --name "^Find Character$" >/dev/null 2>&1'
else
  fail "Ctrl+F opened no Find Character window"
fi

# Type into Window on: the pad takes no focus, and a key still drags.
"$prog/Umbrill05" --type-into-window on >>"$work/app.log" 2>&1
poll grep -q '"TypeIntoWindow"="1"' "$XDG_CONFIG_HOME/umbrill/user.reg" || fail "Type into Window did not turn on"
check "Type into Window on: the pad takes no focus" \
  poll bash -c 'xprop -id "$0" WM_HINTS | grep -q "accepts input or input focus: False"' "$main"
drag "a pad key with Type into Window on" "$(key_point 2)" "é€α"

kill "$app_pid" 2>/dev/null
wait "$app_pid" 2>/dev/null
app_pid=""
finish
