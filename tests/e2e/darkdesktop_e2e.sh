#!/usr/bin/env bash
# The pad on a light and on a dark desktop (the GTK platform theme with the
# Adwaita theme and its dark variant), under a private X server: the window is
# dumped with xwd and, in the menu bar, on a key and in the strip of Multiple
# Char's collection, the contrast between the text and its background is
# measured. Every one must read (4.5:1 at least), and on the dark desktop the
# backgrounds must be dark, on the light one the page light.
# Usage: darkdesktop_e2e.sh <path of the built Umbrill05>
set -uo pipefail

exe=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../lib/xsession.sh"
need_tools Xvfb xdotool xwd python3
ls /usr/lib/*/qt6/plugins/platformthemes/libqgtk3.so >/dev/null 2>&1 \
  || skip "the GTK platform theme is missing (qt6-gtk-platformtheme; tools/install-deps.sh installs it)"
start_x

# Six keys in one row, 42 pixels each (wide enough for the whole menu bar): é è & œ à ç.
program_folder '[Umbrill]\r\nLanguages=Test\r\nTest="DejaVu Sans",12,6,233,232,38,339,224,231\r\n'

height_of() { xdotool getwindowgeometry --shell "$1" | sed -n 's/^HEIGHT=//p'; }
width_of() { xdotool getwindowgeometry --shell "$1" | sed -n 's/^WIDTH=//p'; }

run_theme() {  # GTK theme, light|dark
  local theme=$1 shade=$2 single multiple width menu strip result name ratio lum
  export XDG_CONFIG_HOME="$work/config-$shade"
  QT_QPA_PLATFORMTHEME=gtk3 GTK_THEME=$theme start_program "$prog/Umbrill05" || { fail "$shade: no window"; return; }
  keys alt+l
  poll find_window '^Umbrill Language Selection$' || { fail "$shade: no language dialog"; return; }
  timeout 5 xdotool windowfocus --sync "$wid" 2>/dev/null
  xdotool key Return
  poll bash -c '[ "$(xdotool getwindowgeometry --shell "$0" | grep HEIGHT=)" != "HEIGHT=200" ]' "$main"
  single=$(height_of "$main")
  menu=$((single - 42))
  keys alt+m
  sleep 0.3
  xdotool key m
  poll bash -c '[ "$(xdotool getwindowgeometry --shell "$0" | sed -n "s/^HEIGHT=//p")" != "$1" ]' "$main" "$single" \
    || { fail "$shade: Multiple Char did not show the strip"; return; }
  multiple=$(height_of "$main")
  width=$(width_of "$main")
  strip=$((multiple - single))
  xdotool mousemove --window "$main" 21 $((menu + 21)) click 1 mousemove --window "$main" 63 $((menu + 21)) click 1
  # Away from the keys, so that none is drawn hovered; then let it paint.
  xdotool mousemove --window "$main" $((width - 2)) 2
  sleep 0.5
  xwd -silent -id "$main" -out "$work/$shade.xwd"
  result=$(python3 "$here/contrast.py" "$work/$shade.xwd" "menu=0,0,$width,$menu" "key=4,$((menu + 4)),34,34" \
    "strip=4,$((single + 2)),$((width - strip - 8)),$((strip - 4))") || { fail "$shade: $result"; return; }
  echo "$shade: $result" | tr '\n' ' '; echo
  while read -r name ratio lum; do
    check "$shade $name: contrast $ratio" python3 -c "import sys; sys.exit(not $ratio >= 4.5)"
    case $shade in
      dark) check "$shade $name: background luminance $lum" python3 -c "import sys; sys.exit(not $lum < 0.2)" ;;
      light) [ "$name" = key ] || check "$shade $name: page luminance $lum" python3 -c "import sys; sys.exit(not $lum > 0.8)" ;;
    esac
  done <<<"$result"
  kill "$app_pid"; wait "$app_pid" 2>/dev/null; app_pid=""
}

run_theme Adwaita light
run_theme Adwaita:dark dark
finish
