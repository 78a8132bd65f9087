#!/usr/bin/env bash
# My Characters from outside: é and € go in through their keys' menus, the
# program ends and starts again (back on the language it was left on), My
# Characters is chosen in the Language dialog, and a click on € reaches
# another program's clipboard.
# Usage: mycharacters_e2e.sh <path of the built Umbrill05>
set -uo pipefail

exe=$1
. "$(dirname "$0")/../lib/xsession.sh"
need_tools Xvfb xdotool xclip
start_x

program_folder '[Umbrill]\r\nLanguages=Test\r\nTest="DejaVu Sans",12,4,233,8364,38\r\n'
write_store '"ControlLanguage"="English"\r\n"PasteFormat"="unicode"\r\n'

# A window whose caption is exactly $1 shows; sets $main.
wait_for_caption() { poll find_window "^$1\$" && main=$wid; }

click_key() {  # key index from 0, in the first row of 42-pixel keys below the menu bar
  local height menu
  height=$(xdotool getwindowgeometry --shell "$main" | sed -n 's/^HEIGHT=//p')
  menu=$((height - 42))
  xdotool mousemove --window "$main" $(($1 * 42 + 21)) $((menu + 21)) click "${2:-1}"
}

add_to_mine() {  # key index: its menu (right click), then the first item
  local before
  before=$(visible_windows)
  click_key "$1" 3
  poll bash -c '[ "$(xdotool search --onlyvisible --pid "$0" 2>/dev/null | wc -l)" -gt "$1" ]' "$app_pid" "$before" \
    || { fail "no menu for key $1"; return; }
  xdotool key a
  poll bash -c '[ "$(xdotool search --onlyvisible --pid "$0" 2>/dev/null | wc -l)" -eq "$1" ]' "$app_pid" "$before"
}

choose_language() {  # row of the Language dialog, from the row it opens on
  keys alt+l
  poll find_window '^Umbrill Language Selection$' || { fail "no language dialog"; return 1; }
  timeout 5 xdotool windowfocus --sync "$wid" 2>/dev/null
  xdotool key --delay 50 "$@" Return
}

start_program "$prog/Umbrill05" || exit 1
choose_language
wait_for_caption 'Test Umbrill' || { fail "Test not loaded"; finish; exit; }
poll bash -c '[ "$(xdotool getwindowgeometry --shell "$0" | grep HEIGHT=)" != "HEIGHT=200" ]' "$main"
add_to_mine 0
add_to_mine 1
check "My Characters holds é and €" \
  poll grep -q '^My Characters="DejaVu Sans",12,8,233,8364' "$XDG_CONFIG_HOME/umbrill/languages.ini"
exit_program

# Started again: the pad comes back on Test; My Characters is the next row.
"$prog/Umbrill05" >"$work/app.log" 2>&1 &
app_pid=$!
wait_for_caption 'Test Umbrill' || { fail "Test not remembered"; cat "$work/app.log"; finish; exit; }
choose_language Down
wait_for_caption "My Characters Umbrill" || { fail "My Characters not loaded"; finish; exit; }
poll bash -c '[ "$(xdotool getwindowgeometry --shell "$0" | grep HEIGHT=)" != "HEIGHT=200" ]' "$main"
click_key 1
if poll bash -c '[ "$(xclip -selection clipboard -o -t UTF8_STRING 2>/dev/null)" = "€" ]'; then
  pass
else
  fail "clipboard holds '$(xclip -selection clipboard -o -t UTF8_STRING 2>/dev/null)', expected €"
fi
exit_program

# A long hand-written file: 400 names and 400 characters, beyond any 2047-
# character limit, and a damaged size. One add keeps every name and every
# character and repairs only the size.
names=$(seq -f 'Language %g' 1 400 | paste -sd, -)
codes=$(seq 256 655 | paste -sd, -)
printf '[Umbrill]\r\nLanguages=%s,"My Characters"\r\nMy Characters="DejaVu Sans",12.5,8,%s\r\n' "$names" "$codes" \
  >"$XDG_CONFIG_HOME/umbrill/languages.ini"
sed -i 's/^"LastLanguage"=.*/"LastLanguage"="Test"\r/' "$XDG_CONFIG_HOME/umbrill/user.reg"
"$prog/Umbrill05" >"$work/app.log" 2>&1 &
app_pid=$!
wait_for_caption 'Test Umbrill' || { fail "Test not remembered"; cat "$work/app.log"; finish; exit; }
poll bash -c '[ "$(xdotool getwindowgeometry --shell "$0" | grep HEIGHT=)" != "HEIGHT=200" ]' "$main"
add_to_mine 0
mine() { tr -d '\r' <"$XDG_CONFIG_HOME/umbrill/languages.ini" | grep "^$1"; }
check "a long My Characters keeps its 400 characters, gains é and has its size repaired" \
  poll bash -c '[ "$(tr -d "\r" <"$0" | grep "^My Characters=")" = "$1" ]' \
  "$XDG_CONFIG_HOME/umbrill/languages.ini" "My Characters=\"DejaVu Sans\",12,8,$codes,233"
check "the 400 names of the Languages list stay" test "$(mine Languages=)" = "Languages=$names,\"My Characters\""
exit_program
finish
