#!/usr/bin/env bash
# Type into Window on a real X server with a window manager: a terminal that
# no one here wrote holds the focus and runs `cat` into a file, the pointer
# clicks keys of the pad, and what arrives in the file is read back; under a
# US and a German layout. The focus must stay on the terminal, the clipboard
# must keep what another program put there, and the keyboard mapping must
# change only on spare key codes while typing is on (the pad's characters stay
# bound), and be as it was once the pad has given its keycodes back: when it
# is ended by SIGTERM, and at the next start after it was killed.
# Usage: typing_e2e.sh <path of the built Umbrill05>
set -uo pipefail

exe=$1
. "$(dirname "$0")/../lib/xsession.sh"
need_tools Xvfb xdotool xclip xmodmap setxkbmap openbox xterm xprop xwininfo python3
py=python3
[ -x /usr/bin/python3 ] && py=/usr/bin/python3
start_x
# The lender's record goes in a runtime folder of the test's own.
export XDG_RUNTIME_DIR="$work/xdg-runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# é € α ș U+1F600, one row of five keys.
program_folder '[Umbrill]\r\nLanguages=Test\r\nTest="DejaVu Sans",12,5,233,8364,945,537,128512\r\n'
write_store '"ControlLanguage"="English"\r\n"PasteFormat"="unicode"\r\n"LastLanguage"="Test"\r\n"WindowPosition"="500,400"\r\n"TypeIntoWindow"="1"\r\n'
expected=$'é€αș\xF0\x9F\x98\x80' # U+1F600 as UTF-8 bytes, whatever the locale

openbox --sm-disable >"$work/openbox.log" 2>&1 &
wm_pid=$!
stop_wm() { kill "$wm_pid" 2>/dev/null; }
cleanup_hooks+=(stop_wm)
poll bash -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' || { echo "FAIL: openbox did not start"; exit 1; }

# Another program's text on the clipboard, which typing must leave alone.
printf 'kept by another program' | xclip -selection clipboard -loops 0 >/dev/null 2>&1 &
clip_pid=$!
stop_clip() { kill "$clip_pid" 2>/dev/null; }
cleanup_hooks+=(stop_clip)
clipboard() { xclip -selection clipboard -o 2>/dev/null; }
poll bash -c '[ "$(xclip -selection clipboard -o 2>/dev/null)" = "kept by another program" ]'

# The terminal: cat writes each byte as it comes (no line buffering).
out="$work/typed.txt"
start_cat_terminal typing-target "$out" || { echo "FAIL: no terminal"; exit 1; }

focus_terminal() {
  xdotool windowactivate --sync "$term" >/dev/null 2>&1
  poll bash -c '[ "$(xdotool getactivewindow 2>/dev/null)" = "$0" ]' "$term"
}

start_pad() {
  "$prog/Umbrill05" >>"$work/app.log" 2>&1 &
  app_pid=$!
  poll bash -c 'xdotool search --onlyvisible --name "^Test Umbrill$" >/dev/null 2>&1' || { fail "no pad"; cat "$work/app.log"; exit 1; }
  main=$(xdotool search --onlyvisible --name '^Test Umbrill$' 2>/dev/null | head -n1)
  poll bash -c '[ "$(xdotool getwindowgeometry --shell "$0" | grep HEIGHT=)" != "HEIGHT=200" ]' "$main"
}

click_key() {  # key index from 0: 42 pixels, in the row at the bottom of the pad
  # Once the window manager has let go of the pointer (see xclick.py): after
  # a layout change it catches up with the new keyboard mapping first.
  local info x y height
  info=$(xwininfo -id "$main")
  x=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
  y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
  height=$(sed -n 's/.*Height: *//p' <<<"$info")
  "$py" "$(dirname "$0")/xclick.py" 0 "$((x + $1 * 42 + 21)),$((y + height - 21))"
}

type_all_keys() {  # what: clicks every key; checks the text arrives and the focus stays
  local what=$1 before k
  before=$(cat "$out")
  for k in 0 1 2 3 4; do
    click_key "$k"
    [ "$(xdotool getactivewindow)" = "$term" ] || fail "$what: the focus left the terminal after key $k"
  done
  if poll bash -c '[ "$(cat "$0")" = "$1" ]' "$out" "$before$expected"; then
    pass
  else
    fail "$what: the terminal got '$(cat "$out")', expected '$before$expected'"
  fi
  if [ "$(clipboard)" = "kept by another program" ]; then pass; else fail "$what: the clipboard changed to '$(clipboard)'"; fi
}

mapping_is() { [ "$(xmodmap -pke)" = "$(cat "$1")" ]; }
# How many key codes differ from the mapping $1: those the pad lends.
lent_count() { comm -13 <(sort "$1") <(xmodmap -pke | sort) | wc -l; }

# --- US layout: typed; the five characters stay bound while typing is on -----
setxkbmap us
xmodmap -pke >"$work/us.map"
start_pad
if xprop -id "$main" WM_HINTS | grep -q 'accepts input or input focus: False'; then pass; else fail "the pad asks for the input focus"; fi
focus_terminal || fail "the terminal did not take the focus"
type_all_keys "us"
sleep 1.5
if [ "$(lent_count "$work/us.map")" = 5 ]; then pass; else fail "us: not the five characters bound while idle"; diff "$work/us.map" <(xmodmap -pke) | head; fi

# --- Find: its search field takes the focus, its result goes to the terminal --
focus_terminal
before=$(cat "$out")
windows=$(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | wc -l)
xdotool mousemove --window "$main" 20 10 click 1   # the Mode menu's title
poll bash -c '[ "$(xdotool search --onlyvisible --pid "$0" 2>/dev/null | wc -l)" -gt "$1" ]' "$app_pid" "$windows" \
  || fail "find: the Mode menu did not open"
xdotool key f
if poll bash -c 'w=$(xdotool search --onlyvisible --name "^Find Character$" | head -n1); [ -n "$w" ] && [ "$(xdotool getactivewindow)" = "$w" ]'; then
  xdotool type --delay 20 'euro sign'
  xdotool key Return
  if poll bash -c '[ "$(cat "$0")" = "$1" ]' "$out" "$before€"; then pass; else fail "find: the terminal got '$(cat "$out")'"; fi
  if poll bash -c '[ "$(xdotool getactivewindow)" = "$0" ]' "$term"; then pass; else fail "find: the focus did not go back to the terminal"; fi
else
  fail "find: its window did not open with the focus"
fi
[ "$(lent_count "$work/us.map")" -le 6 ] || fail "find: more than the pad's characters and € bound"

# --- German layout, and SIGTERM while keycodes are lent ----------------------
setxkbmap de
xmodmap -pke >"$work/de.map"
# The new layout dropped the bindings: the pad binds its characters again by itself.
if poll bash -c '[ "$(comm -13 <(sort "$0") <(xmodmap -pke | sort) | wc -l)" = 5 ]' "$work/de.map"; then pass; else fail "de: the pad did not bind its characters again ($(lent_count "$work/de.map"))"; fi
focus_terminal
type_all_keys "de"
mapping_is "$work/de.map" && echo "note: keycodes already given back before SIGTERM"
kill -TERM "$app_pid"
if poll bash -c '! kill -0 "$0" 2>/dev/null' "$app_pid"; then wait "$app_pid"; app_pid=""; pass; else fail "SIGTERM did not end the pad"; fi
if mapping_is "$work/de.map"; then pass; else fail "de: keycodes left lent after SIGTERM"; diff "$work/de.map" <(xmodmap -pke) | head; fi

# --- killed while lent: the next start gives the keycodes back --------------
start_pad
focus_terminal
type_all_keys "de again"
kill -KILL "$app_pid"; wait "$app_pid" 2>/dev/null; app_pid=""
if mapping_is "$work/de.map"; then echo "note: nothing was lent when the pad was killed"; fi
start_pad
# The killed run's five given back, the new run's five bound: five, not ten.
sleep 1
if poll bash -c '[ "$(comm -13 <(sort "$0") <(xmodmap -pke | sort) | wc -l)" = 5 ]' "$work/de.map"; then pass; else fail "keycodes a killed run left lent were not reclaimed ($(lent_count "$work/de.map") lent)"; fi
kill -INT "$app_pid"
if poll bash -c '! kill -0 "$0" 2>/dev/null' "$app_pid"; then wait "$app_pid"; app_pid=""; pass; else fail "SIGINT did not end the pad"; fi
if mapping_is "$work/de.map"; then pass; else fail "keycodes left lent after SIGINT"; fi
finish
