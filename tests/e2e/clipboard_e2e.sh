#!/usr/bin/env bash
# The real program under a private X server: a keyboard language is chosen
# through the menu, keys are clicked with xdotool, and what another program
# would paste is read back with xclip, for every paste format and both modes.
# Usage: clipboard_e2e.sh <path of the built Umbrill05>
set -uo pipefail

exe=$1
. "$(dirname "$0")/../lib/xsession.sh"
need_tools Xvfb xdotool xclip xprop
start_x

# The program folder's name has a blank and two Latin-1 bytes that are not
# UTF-8, as old archives unpack: a path is bytes, and the program finds its files.
prog="$work/program dir "$'\xff\xe9'
mkdir -p "$prog" "$XDG_CONFIG_HOME/umbrill"
cp "$exe" "$prog/Umbrill05"
# Keys: é è & œ U+1F600 and the Arabic fatha, four per row, 12 points.
printf '[Umbrill]\r\nLanguages=Test\r\nTest="DejaVu Sans",12,4,233,232,38,339,128512,1614\r\n' \
  >"$prog/Umbrill05.ini"

settings() {
  printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\umbrill.ini\\Settings]\r\n"ControlLanguage"="English"\r\n"PasteFormat"="%s"\r\n' "$1" \
    >"$XDG_CONFIG_HOME/umbrill/user.reg"
}
settings unicode

start_program "$prog/Umbrill05" || exit 1

# --- start-up state ------------------------------------------------------------
if xprop -id "$main" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE; then pass; else fail "main window is not kept above"; fi

clip() { xclip -selection clipboard -o -t "$1" 2>/dev/null; }
expect_clip() {  # target, expected text, what
  local target=$1 expected=$2 what=$3
  if poll bash -c '[ "$(xclip -selection clipboard -o -t "$0" 2>/dev/null)" = "$1" ]' "$target" "$expected"; then
    pass
  else
    fail "$what: $target is '$(clip "$target")', expected '$expected'"
  fi
}
expect_empty() {
  if poll bash -c '! xclip -selection clipboard -o -t TARGETS >/dev/null 2>&1'; then pass; else fail "$1: clipboard not empty"; fi
}


load_language() {  # chooses the first (only) language through the Language menu
  keys alt+l
  poll find_window '^Umbrill Language Selection$' || { fail "no language dialog"; return 1; }
  timeout 5 xdotool windowfocus --sync "$wid" 2>/dev/null
  xdotool key Return
  poll find_window '^Test Umbrill$' || { fail "language not loaded"; return 1; }
  poll bash -c '[ "$(xdotool getwindowgeometry --shell "$0" | grep HEIGHT=)" != "HEIGHT=200" ]' "$main"
  # In Single Char the two rows of keys end the window; Multiple Char adds a strip below them.
  menu=$(($(xdotool getwindowgeometry --shell "$main" | sed -n 's/^HEIGHT=//p') - 2 * 42))
}

click_key() {  # key index from 0: four per row, 42 pixels, below the menu bar
  local k=$1
  xdotool mousemove --window "$main" $(((k % 4) * 42 + 21)) $((menu + (k / 4) * 42 + 21)) click 1
}

open_mode_menu() {  # waits until the menu's popup is up
  local before
  before=$(visible_windows)
  keys alt+m
  poll bash -c '[ "$(xdotool search --onlyvisible --pid "$0" 2>/dev/null | wc -l)" -gt "$1" ]' "$app_pid" "$before"
}
choose_mode() { open_mode_menu; xdotool key "$1"; }  # m: Multiple Char, s: Single Char

for format in plainText richText unicode html; do
  settings "$format"
  load_language || continue

  # Single Char: each click replaces the clipboard.
  click_key 0; click_key 1
  case $format in
    html) expect_clip text/plain '&egrave;' "$format single" ;;
    *) expect_clip UTF8_STRING 'è' "$format single" ;;
  esac
  click_key 2
  expect_clip UTF8_STRING '&' "$format ampersand"
  click_key 4
  case $format in
    unicode) expect_clip UTF8_STRING $'\U0001F600' "$format beyond U+FFFF" ;;
    *) expect_clip UTF8_STRING '?' "$format outside Windows-1252" ;;
  esac
  click_key 5
  case $format in
    unicode) expect_clip UTF8_STRING $'\u064E' "$format bare mark" ;;
    *) expect_clip UTF8_STRING '?' "$format mark outside Windows-1252" ;;
  esac
  if [ "$format" = richText ] || [ "$format" = unicode ]; then
    click_key 0
    rtf=$(clip text/rtf)
    case $rtf in *'DejaVu Sans'*'\fs24'*) pass ;; *) fail "$format: rtf lacks the key font: $rtf" ;; esac
    html=$(clip text/html)
    case $html in *'DejaVu Sans'*'12pt'*) pass ;; *) fail "$format: html lacks the key font: $html" ;; esac
  fi

  # Multiple Char: choosing it empties the clipboard; clicks collect.
  choose_mode m
  expect_empty "$format multiple chosen"
  click_key 0; click_key 1
  case $format in
    html) expect_clip text/plain '&egrave;' "$format multiple" ;;
    *) expect_clip UTF8_STRING 'éè' "$format multiple" ;;
  esac
  choose_mode s
  expect_empty "$format single chosen"
done

# Exit ends the program: the last item of the Mode menu.
exit_program
finish
