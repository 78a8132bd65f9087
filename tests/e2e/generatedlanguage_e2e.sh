#!/usr/bin/env bash
# A generated keyboard language from outside: the Language dialog's filter
# finds Yoruba, Enter loads it, a click on ẹ reaches another program's
# clipboard, and the next start brings Yoruba back (remembered by its code),
# where with Type into Window on a click types ẹ into a terminal.
# Usage: generatedlanguage_e2e.sh <path of the built Umbrill05> <generated-languages.ini>
set -uo pipefail

exe=$1
generated=$2
. "$(dirname "$0")/../lib/xsession.sh"
need_tools Xvfb xdotool xclip xterm xmodmap
[ -f "$generated" ] || skip "no $generated"
start_x
# The typist's record of lent key codes goes in a runtime folder of the test's own.
export XDG_RUNTIME_DIR="$work/xdg-runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

program_folder '[Umbrill]\r\nLanguages=Test\r\nTest="DejaVu Sans",12,4,233,8364,38\r\n'
cp "$generated" "$prog/generated-languages.ini"
write_store '"ControlLanguage"="English"\r\n"PasteFormat"="unicode"\r\n'

wait_for_caption() { poll find_window "^$1\$" && main=$wid; }

# Key $1 (from 0) of a pad of $2 rows and $3 keys per row, 42-pixel keys at the bottom of the window.
click_key() {
  local height top
  height=$(xdotool getwindowgeometry --shell "$main" | sed -n 's/^HEIGHT=//p')
  top=$((height - $2 * 42))
  xdotool mousemove --window "$main" $(($1 % $3 * 42 + 21)) $((top + $1 / $3 * 42 + 21)) click 1
}

start_program "$prog/Umbrill05" || exit 1
keys alt+l
poll find_window '^Umbrill Language Selection$' || { fail "no language dialog"; finish; exit; }
timeout 5 xdotool windowfocus --sync "$wid" 2>/dev/null
# The filter has the focus: typing narrows the list to Yoruba, Enter loads it.
xdotool type --delay 50 'yoru'
xdotool key Return
wait_for_caption 'Yoruba Umbrill' || { fail "Yoruba not loaded through the filter"; finish; exit; }
poll bash -c '[ "$(xdotool getwindowgeometry --shell "$0" | grep HEIGHT=)" != "HEIGHT=200" ]' "$main"
check "Yoruba is remembered by its code" \
  poll grep -q '^"LastLanguage"="\[generated:yo\]"' "$XDG_CONFIG_HOME/umbrill/user.reg"
# Yoruba's pad: 51 keys, 9 to a row; the fifth is ẹ.
entry=$(grep -A1 '^\[yo\]' "$prog/generated-languages.ini" | sed -n 's/^Entry=//p' | tr -d '\r')
[ "$(echo "$entry" | cut -d, -f3,8)" = "9,7865" ] || skip "the generated Yoruba pad has changed: $entry"
keycount=$(($(echo "$entry" | tr ',' '\n' | wc -l) - 3))
click_key 4 $(((keycount + 8) / 9)) 9
if poll bash -c '[ "$(xclip -selection clipboard -o -t UTF8_STRING 2>/dev/null)" = "ẹ" ]'; then
  pass
else
  fail "clipboard holds '$(xclip -selection clipboard -o -t UTF8_STRING 2>/dev/null)', expected ẹ"
fi
exit_program

# A terminal that keeps what is typed into it holds the focus.
out="$work/typed.txt"
start_cat_terminal typing-target "$out" || { fail "no terminal"; finish; exit; }

"$prog/Umbrill05" --type-into-window on >"$work/app.log" 2>&1 &
app_pid=$!
wait_for_caption 'Yoruba Umbrill' || { fail "Yoruba not back after a restart"; cat "$work/app.log"; finish; exit; }
pass
poll bash -c '[ "$(xdotool getwindowgeometry --shell "$0" | grep HEIGHT=)" != "HEIGHT=200" ]' "$main"
timeout 5 xdotool windowfocus --sync "$term" 2>/dev/null
# Typing binds the pad's characters the layout lacks as it turns on: ẹ (ebelowdot) among them.
check "ẹ is bound while typing is on" poll bash -c 'xmodmap -pke | grep -qw ebelowdot'
click_key 4 $(((keycount + 8) / 9)) 9
if poll bash -c '[ "$(cat "$0")" = "ẹ" ]' "$out"; then
  pass
else
  fail "the terminal got '$(cat "$out")', expected ẹ"
fi
exit_program
check "the shipped files are unchanged" cmp -s "$generated" "$prog/generated-languages.ini"
finish
