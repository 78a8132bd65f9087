#!/usr/bin/env bash
# The real program under a private X server and its own session bus: a screen
# reader's view of the French pad (every key named by its Unicode name, its
# code as description), read through AT-SPI; then Find Character opened with
# Ctrl+F, a name typed, its results heard by name and code, Enter pressed, and
# the character read back with xclip.
# Usage: findcharacter_e2e.sh <path of the built Umbrill05> <its data file>
set -uo pipefail

exe=$1
datafile=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../lib/xsession.sh"
need_tools Xvfb xdotool xclip dbus-run-session
# The system's Python, which the Debian package serves (not one a user put first on PATH).
py=/usr/bin/python3
[ -x "$py" ] || py=$(command -v python3) || skip "python3 is missing"
"$py" -c 'import pyatspi' 2>/dev/null || skip "python3-pyatspi is missing (tools/install-deps.sh installs it)"
[ -x /usr/libexec/at-spi-bus-launcher ] || skip "at-spi2-core is missing (tools/install-deps.sh installs it)"
if [ -z "${UMBRILL_E2E_BUS:-}" ]; then
  # A session bus of our own, which starts the accessibility bus on demand.
  UMBRILL_E2E_BUS=1 exec dbus-run-session -- "$0" "$@"
fi
start_x

prog="$work/program"
mkdir -p "$prog" "$XDG_CONFIG_HOME/umbrill"
cp "$exe" "$prog/Umbrill05"
cp "$datafile" "$prog/Umbrill05.ini"
# French loads at start-up, as the last language of an earlier run.
write_store '"ControlLanguage"="English"\r\n"PasteFormat"="unicode"\r\n"LastLanguage"="French"\r\n'
keys_in_french=$(sed -n 's/^French=[^,]*,[^,]*,[^,]*,//p' "$prog/Umbrill05.ini" | tr -d '\r' | tr ',' '\n' | grep -c .)

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
# The window's first title already names French.
"$prog/Umbrill05" >"$work/app.log" 2>&1 &
app_pid=$!
if ! poll find_window '^French Umbrill$'; then
  fail "no window 'French Umbrill'"
  cat "$work/app.log"
  exit 1
fi
main=$wid

# --- what a screen reader hears ------------------------------------------------
if "$py" "$here/atspi_dump.py" "$app_pid" "$keys_in_french" 30 >"$work/atspi.txt" 2>"$work/atspi.err"; then
  pass
else
  fail "AT-SPI shows $(wc -l <"$work/atspi.txt") buttons, expected $keys_in_french: $(cat "$work/atspi.err")"
fi
echo "AT-SPI: $(wc -l <"$work/atspi.txt") buttons, the first ones:"
head -n 4 "$work/atspi.txt"
check "é is named by its Unicode name, its code the description" \
  grep -qxF "LATIN SMALL LETTER E WITH ACUTE	U+00E9" "$work/atspi.txt"
check "the euro sign is named" grep -qxF "EURO SIGN	U+20AC" "$work/atspi.txt"
check "ç is named" grep -qxF "LATIN SMALL LETTER C WITH CEDILLA	U+00E7" "$work/atspi.txt"
# No key is heard as a bare glyph: every name is a word of at least two letters.
bare=$(awk -F '\t' 'length($1) < 2' "$work/atspi.txt" | head -n 3)
check "keys heard as bare glyphs: $bare" test -z "$bare"

# --- Find Character --------------------------------------------------------------
keys ctrl+f
if poll find_window '^Find Character$'; then
  find=$wid
  # Heard as a window (a frame, to AT-SPI) named by its title, with a named clear button.
  for node in "frame	Find Character" "push button	Clear search"; do
    if "$py" "$here/atspi_dump.py" --roles "$app_pid" "$node" 30 >"$work/roles.txt" 2>>"$work/atspi.err"; then
      pass
    else
      fail "AT-SPI has no '$node' in Find: $(grep -i 'find\|clear\|filler' "$work/roles.txt" | head -n 5 | tr '\n\t' '; ')"
    fi
  done
  timeout 5 xdotool windowfocus --sync "$find" 2>/dev/null
  xdotool type --delay 20 "euro sign"
  # Each result is heard by its Unicode name, its code the description.
  if "$py" "$here/atspi_dump.py" --roles "$app_pid" "list item	EURO SIGN	U+20AC" 30 >"$work/roles.txt" 2>>"$work/atspi.err"; then
    pass
  else
    fail "AT-SPI does not hear the result EURO SIGN: $(grep '^list item' "$work/roles.txt" | head -n 3 | tr '\n\t' '; ')"
  fi
  xdotool key Return
  if poll bash -c '[ "$(xclip -selection clipboard -o -t UTF8_STRING 2>/dev/null)" = "€" ]'; then
    pass
  else
    fail "Enter in Find put '$(xclip -selection clipboard -o -t UTF8_STRING 2>/dev/null)' on the clipboard, expected €"
  fi
  # Escape closes the window.
  xdotool key Escape
  check "Escape closes Find" poll bash -c '! xdotool search --onlyvisible --name "^Find Character$" >/dev/null 2>&1'
else
  fail "Ctrl+F opened no Find Character window"
fi

# --- the Options dialog: the interface-language list is heard by its label ------
keys alt+m o
if poll find_window '^Umbrill Options$'; then
  if "$py" "$here/atspi_dump.py" --roles "$app_pid" "combo box	Control language" 30 >"$work/roles.txt" 2>>"$work/atspi.err"; then
    pass
  else
    fail "AT-SPI names the language list otherwise: $(grep '^combo box' "$work/roles.txt" | tr '\n\t' '; ')"
  fi
  xdotool key Escape
  poll bash -c '! xdotool search --onlyvisible --name "^Umbrill Options$" >/dev/null 2>&1'
else
  fail "Alt+M O opened no Options dialog"
fi

exit_program
finish
