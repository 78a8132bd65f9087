#!/usr/bin/env bash
# Retakes main.png, the screenshot named in the AppStream metadata: the built
# program under a private X server with a keyboard language loaded.
# Needs Xvfb, xdotool and ImageMagick's import (Debian: xvfb xdotool imagemagick).
# Usage: take.sh <path of the built Umbrill05> [language row, from 0]
set -uo pipefail

exe=$1
row=${2:-0}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../tests/lib/xsession.sh"
need_tools Xvfb xdotool import
start_x
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
# Let the resized window paint before it is grabbed.
xdotool windowfocus --sync "$main"
xdotool mousemove --window "$main" 1 1
sleep 0.5
import -window "$main" "$here/main.png"
echo "wrote $here/main.png ($(xdotool getwindowname "$main"))"
