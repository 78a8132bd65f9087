#!/usr/bin/env bash
# Retakes main.png, the screenshot named in the AppStream metadata: the built
# program under a private X server with a keyboard language loaded.
# Needs Xvfb, xdotool and ImageMagick's import (Debian: xvfb xdotool imagemagick).
# Usage: take.sh <path of the built Umbrill05> [language row, from 0]
set -euo pipefail

exe=$1
row=${2:-0}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

poll() {  # polls a command for about ten seconds
  local i
  for i in $(seq 1 500); do
    "$@" && return 0
    sleep 0.02
  done
  return 1
}
find_window() { wid=$(xdotool search --name "$1" 2>/dev/null | head -n1); [ -n "$wid" ]; }

Xvfb -displayfd 5 -screen 0 1024x768x24 -noreset -nolisten tcp 5>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
poll test -s "$work/display"
export DISPLAY=":$(cat "$work/display")"
export XDG_CONFIG_HOME="$work/config"
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY

"$exe" >"$work/app.log" 2>&1 &
app_pid=$!
poll find_window '^Umbrill$'
main=$wid

xdotool windowfocus --sync "$main"
xdotool key --clearmodifiers alt+l
poll find_window '^Umbrill Language Selection$'
dialog=$wid
xdotool windowfocus --sync "$dialog"
for ((i = 0; i < row; i++)); do xdotool key Down; done
xdotool key Return
poll bash -c '! xdotool search --onlyvisible --name "^Umbrill Language Selection$" >/dev/null 2>&1'
poll bash -c '[ "$(xdotool getwindowgeometry --shell "$0" | grep HEIGHT=)" != "HEIGHT=200" ]' "$main"
# Let the resized window paint before it is grabbed.
xdotool windowfocus --sync "$main"
xdotool mousemove --window "$main" 1 1
sleep 0.5
import -window "$main" "$here/main.png"
echo "wrote $here/main.png ($(xdotool getwindowname "$main"))"
