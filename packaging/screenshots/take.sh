#!/usr/bin/env bash
# Retakes the screenshots: main.png (named in the AppStream metadata), the pad
# with a keyboard language loaded; strip.png, Multiple Char with a few keys
# collected; find.png, Find Character with a search; dark.png, the pad on a
# dark desktop (the GTK platform theme with Adwaita's dark variant). The built
# program runs under a private X server.
# Needs Xvfb, xdotool and ImageMagick's import (Debian: xvfb xdotool imagemagick)
# and, for dark.png, qt6-gtk-platformtheme.
# Usage: take.sh <path of the built Umbrill05> [language row, from 0]
set -uo pipefail

exe=$1
row=${2:-0}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../tests/lib/xsession.sh"
need_tools Xvfb xdotool import
start_x

height_of() { xdotool getwindowgeometry --shell "$1" | sed -n 's/^HEIGHT=//p'; }
# Lets the window paint, the mouse away from the keys, then grabs it.
grab() {  # window, file
  xdotool mousemove --window "$1" 1 1
  sleep 0.5
  import -window "$1" "$here/$2"
  echo "wrote $here/$2 ($(xdotool getwindowname "$1"))"
}
click_keys() {  # strip height, row counted from the last (0), key indexes on it; keys of 42 pixels
  local top k
  top=$(($(height_of "$main") - $1 - ($2 + 1) * 42))
  shift 2
  for k in "$@"; do xdotool mousemove --window "$main" $((k * 42 + 21)) $((top + 21)) click 1; done
}

start_program "$exe" || exit 1
xdotool windowfocus --sync "$main"
xdotool key --clearmodifiers alt+l
poll find_window '^Umbrill Language Selection$'
dialog=$wid
xdotool windowfocus --sync "$dialog"
for ((i = 0; i < row; i++)); do xdotool key Down; done
xdotool key Return
poll bash -c '! xdotool search --onlyvisible --name "^Umbrill Language Selection$" >/dev/null 2>&1'
poll bash -c '[ "$(xdotool getwindowgeometry --shell "$0" | grep HEIGHT=)" != "HEIGHT=200" ]' "$main"
xdotool windowfocus --sync "$main"
grab "$main" main.png

# Multiple Char (Alt+M, M), then five keys of the first row.
single=$(height_of "$main")
keys alt+m
sleep 0.3
xdotool key m
poll bash -c '[ "$(xdotool getwindowgeometry --shell "$0" | sed -n "s/^HEIGHT=//p")" != "$1" ]' "$main" "$single"
strip=$(($(height_of "$main") - single))
click_keys "$strip" 1 0 1 2 3
click_keys "$strip" 0 2
grab "$main" strip.png

keys ctrl+f
poll find_program_window '^Find Character$'
find=$wid
timeout 5 xdotool windowfocus --sync "$find" 2>/dev/null
xdotool type --delay 20 'e acute'
sleep 0.5
grab "$find" find.png

kill "$app_pid"; wait "$app_pid" 2>/dev/null; app_pid=""
# The language and Multiple Char come back from the settings.
QT_QPA_PLATFORMTHEME=gtk3 GTK_THEME=Adwaita:dark "$exe" >"$work/dark.log" 2>&1 &
app_pid=$!
poll find_program_window ' Umbrill$' || { echo "no pad on the dark desktop"; cat "$work/dark.log"; exit 1; }
main=$wid
click_keys "$strip" 1 4 5 6
grab "$main" dark.png
