#!/usr/bin/env bash
# Nothing just done is lost when the session ends: a key clicked (Recent is
# written seconds later) and a move (the place is written once the window
# rests) survive SIGTERM, SIGHUP and SIGINT sent at once, and the display
# going away; a remembered Find size far beyond the screen comes back, and is
# stored again, within the screen.
# Usage: sessionend_e2e.sh <path of the built Umbrill05>
set -uo pipefail

exe=$1
. "$(dirname "$0")/../lib/xsession.sh"
need_tools Xvfb xdotool xclip
start_x

store="$XDG_CONFIG_HOME/umbrill/user.reg"
program_folder '[Umbrill]\r\nLanguages=Test\r\nTest="DejaVu Sans",12,4,233,8364,38\r\n'
fresh_store() {
  printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\umbrill.ini\\Settings]\r\n"ControlLanguage"="English"\r\n"PasteFormat"="unicode"\r\n"LastLanguage"="Test"\r\n%b' \
    "${1:-}" >"$store"
}

# Starts the pad, which comes back on Test; sets $main.
start_pad() {
  "$prog/Umbrill05" >"$work/app.log" 2>&1 &
  app_pid=$!
  poll find_program_window '^Test Umbrill$' && main=$wid && return 0
  cat "$work/app.log"
  return 1
}

click_first_key() {
  local height
  height=$(xdotool getwindowgeometry --shell "$main" | sed -n 's/^HEIGHT=//p')
  xdotool mousemove --window "$main" 21 $((height - 21)) click 1
  poll bash -c '[ "$(xclip -selection clipboard -o -t UTF8_STRING 2>/dev/null)" = "é" ]'
}

# Sends the signal and checks that the program ends, with 0.
end_with() {  # signal
  kill -s "$1" "$app_pid"
  if poll bash -c '! kill -0 "$0" 2>/dev/null' "$app_pid"; then
    wait "$app_pid"
    local rc=$?
    check "SIG$1 ended the program with $rc" test "$rc" -eq 0
  else
    fail "SIG$1 did not end the program"
    kill -9 "$app_pid"
  fi
  app_pid=""
}

stored() { grep -a "^\"$1\"=" "$store" | head -n1 | tr -d '\r'; }

# --- a click, then the signal at once ----------------------------------------------
for signal in TERM HUP INT; do
  fresh_store
  start_pad || { fail "no pad for SIG$signal"; continue; }
  click_first_key || fail "the click put nothing on the clipboard"
  end_with "$signal"
  check "Recent kept é after SIG$signal (got $(stored Recent))" test "$(stored Recent)" = '"Recent"="233"'
done

# --- a move, then SIGTERM 0.3 s later; the place comes back ------------------------
fresh_store '"WindowPosition"="10,10"\r\n'
if start_pad; then
  xdotool windowmove "$main" 300 200
  poll bash -c '[ "$(xdotool getwindowgeometry --shell "$0" | grep ^X=)" = "X=300" ]' "$main"
  sleep 0.3
  end_with TERM
  check "the place after a move survived SIGTERM (got $(stored WindowPosition))" \
    grep -aq '^"WindowPosition"="300,2[0-9][0-9]"' "$store"
  if start_pad; then
    check "the pad came back where it was left" \
      bash -c '[ "$(xdotool getwindowgeometry --shell "$0" | grep ^X=)" = "X=300" ]' "$main"
    end_with TERM
  fi
fi

# --- a remembered Find size beyond any screen ----------------------------------------
fresh_store '"FindWindowSize"="100000,100000"\r\n'
if start_pad; then
  keys ctrl+f
  if poll find_window '^Find Character$'; then
    eval "$(xdotool getwindowgeometry --shell "$wid")"
    check "Find opened ${WIDTH}x${HEIGHT} on a 1024x768 screen" test "$WIDTH" -le 1024 -a "$HEIGHT" -le 768
  else
    fail "Ctrl+F opened no Find Character window"
  fi
  end_with TERM
  size=$(stored FindWindowSize | sed 's/.*="\(.*\)"/\1/')
  check "Find's size was stored within the screen (got $size)" \
    test "${size%,*}" -le 1024 -a "${size#*,}" -le 768
fi

# --- the display goes away --------------------------------------------------------------
fresh_store
if start_pad; then
  click_first_key || fail "the click put nothing on the clipboard"
  kill "$xvfb_pid"
  wait "$xvfb_pid" 2>/dev/null
  xvfb_pid=""
  check "the pad ended with its display" poll bash -c '! kill -0 "$0" 2>/dev/null' "$app_pid"
  app_pid=""
  check "Recent kept é when the display went away (got $(stored Recent))" test "$(stored Recent)" = '"Recent"="233"'
fi
finish
