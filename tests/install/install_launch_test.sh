#!/usr/bin/env bash
# The installed program started through its launcher, from a prefix with blanks
# in its path, under a private X server: its window shows, it finds its data
# file and its help beside the executable, its window class and icon are the
# desktop entry's, and Exit ends it.
# Usage: install_launch_test.sh <cmake> <build dir>
set -uo pipefail
cmake=$1 build=$2
. "$(dirname "$0")/installlib.sh"
need_tools Xvfb xdotool xprop

install_with_blanks "$cmake" "$build"
find_desktop_id
start_x

# Help opens the document with the desktop's opener: record what it is given.
mkdir -p "$work/bin"
cat >"$work/bin/xdg-open" <<OPENER
#!/bin/sh
printf '%s\n' "\$1" >>"$work/opened"
OPENER
chmod +x "$work/bin/xdg-open"
export PATH="$work/bin:$PATH"

# Started by the name the desktop entry gives, found on the PATH.
export PATH="$prefix/bin:$PATH"
start_program umbrill || exit 1

# Window class: what a desktop matches against the entry's StartupWMClass.
wm_class=$(sed -n 's/^StartupWMClass=//p' "$prefix/share/applications/$id.desktop")
check "WM_CLASS matches StartupWMClass '$wm_class'" \
  poll bash -c 'xprop -id "$0" WM_CLASS | grep -q "\"$1\"\$"' "$main" "$wm_class"
check "the window carries the program's icon" poll bash -c 'xprop -id "$0" _NET_WM_ICON | grep -q "Icon (32 x 32)"' "$main"

# A keyboard language from the installed data file.
keys alt+l
if poll find_window '^Umbrill Language Selection$'; then
  timeout 5 xdotool windowfocus --sync "$wid" 2>/dev/null
  xdotool key Return
  check "the first language of the installed data file loads" poll find_window '^French Umbrill$'
else
  fail "no language dialog"
fi

# Help > Help opens the installed document, its path's blanks intact.
keys alt+h
poll bash -c '[ "$(xdotool search --onlyvisible --pid "$0" 2>/dev/null | wc -l)" -gt 1 ]' "$app_pid"
xdotool key h
if poll test -s "$work/opened"; then
  opened=$(head -n1 "$work/opened")
  expected="file://$(readlink -f "$prefix/lib/umbrill")/umbrill_help.pdf"
  check "help opened '$opened', expected '$expected' (blanks as %20)" \
    test "$opened" = "${expected// /%20}"
else
  fail "Help opened nothing"
fi

exit_program
finish
