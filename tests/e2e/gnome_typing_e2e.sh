#!/usr/bin/env bash
# Type into Window on a headless GNOME Wayland session (mutter, XWayland, the
# desktop's RemoteDesktop portal) with the `us` layout: the pad runs on
# XWayland, a native GTK 4 entry holds the focus, and the compositor's own
# pointer clicks the pad's keys. é € α ș 😀 must arrive in the entry (€ as
# the layout's own key, the others by the Unicode entry); a Qt program that
# takes no Unicode entry gets nothing wrong, and the characters wait on the
# clipboard with the pad's notice; when the desktop stops sharing, Type into
# Window turns itself off.
# Usage: gnome_typing_e2e.sh <path of the built Umbrill05> <path of the built xwaylandpin library>
set -uo pipefail

exe=$1
pin=$2
. "$(dirname "$0")/../lib/xsession.sh"
. "$(dirname "$0")/../lib/waylandsession.sh"
need_tools xdotool xclip xwininfo
start_gnome_session "$pin"

prog="$work/program"
mkdir -p "$prog" "$XDG_CONFIG_HOME/umbrill"
cp "$exe" "$prog/Umbrill05"
# é € α ș U+1F600, one row of five keys.
printf '[Umbrill]\r\nLanguages=Test\r\nTest="DejaVu Sans",12,5,233,8364,945,537,128512\r\n' >"$prog/Umbrill05.ini"
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\umbrill.ini\\Settings]\r\n"ControlLanguage"="English"\r\n"PasteFormat"="unicode"\r\n"LastLanguage"="Test"\r\n"WindowPosition"="600,500"\r\n"TypeIntoWindow"="1"\r\n' \
  >"$XDG_CONFIG_HOME/umbrill/user.reg"
expected=$'é€αș\U0001F600'

# The target: a GTK 4 entry, full width at the top of the screen.
out="$work/typed.txt"
"$python3" "$lib_dir/textentry.py" 4 typing-target "$out" "$work/times.txt" >"$work/entry.log" 2>&1 &
session_pids+=($!)
poll test -e "$out" || { echo "FAIL: the GTK 4 entry did not show"; cat "$work/entry.log"; exit 1; }
session_input click 300 100 || fail "could not click the entry"

start_pad() {
  QT_QPA_PLATFORM=xcb "$prog/Umbrill05" >>"$work/app.log" 2>&1 &
  app_pid=$!
  poll bash -c 'xdotool search --onlyvisible --name "^Test Umbrill$" >/dev/null 2>&1' || { fail "no pad"; cat "$work/app.log"; exit 1; }
  main=$(xdotool search --onlyvisible --name '^Test Umbrill$' 2>/dev/null | head -n1)
  poll bash -c '[ "$(xdotool getwindowgeometry --shell "$0" | grep HEIGHT=)" != "HEIGHT=200" ]' "$main"
}

# Answers the desktop's question: the switch "Allow remote interaction", then Share.
answer_consent() {  # [--refuse]
  "$python3" "$lib_dir/answerconsent.py" "$@" 30 >"$work/consent.log" 2>&1 || { fail "$(cat "$work/consent.log")"; return 1; }
}

# xdotool counts the title bar twice for a framed window: xwininfo has the
# pad's true place on the screen.
click_key() {  # key index from 0: 42 pixels, at the bottom of the pad
  local k=$1 x y height
  x=$(xwininfo -id "$main" | sed -n 's/.*Absolute upper-left X: *//p')
  y=$(xwininfo -id "$main" | sed -n 's/.*Absolute upper-left Y: *//p')
  height=$(xwininfo -id "$main" | sed -n 's/^ *Height: *//p')
  session_input click $((x + k * 42 + 21)) $((y + height - 21))
}

start_pad
answer_consent
sleep 1
for k in 0 1 2 3 4; do click_key "$k" || fail "could not click key $k"; done
if poll bash -c '[ "$(cat "$0")" = "$1" ]' "$out" "$expected"; then pass; else fail "the GTK 4 entry got '$(cat "$out")', expected '$expected'"; fi
[ "$failures" -eq 0 ] || { echo "--- app"; cat "$work/app.log"; echo "--- portal"; tail -n 5 "$work/portal.log" "$work/portal-gnome.log"; grep -i -B2 -A2 "keyval\|warn\|crit" "$work/mutter.log" | tail -20; }
finish
