#!/usr/bin/env bash
# Type into Window on a headless KDE Plasma Wayland session (kwin_wayland
# --virtual, XWayland, KDE's RemoteDesktop portal, which grants the keyboard
# without asking) with the layouts `us` (on) and `de`: the pad runs on
# XWayland, a native GTK 4 entry holds the focus, and the compositor's own
# pointer clicks the pad's keys. a is typed, also when clicked as the pad
# starts; € é α ș 😀 ä, which `us` has no key for (ä and € only `de` has),
# each wait on the clipboard with a notice on the pad, and nothing else
# reaches the entry.
# An X11 program (GTK 3 on XWayland) gets every character, through XTest;
# where IBus is the input method the others arrive by the Unicode entry. Skips (77) where KWin
# or the KDE portal is missing or cannot run here.
# Usage: kde_typing_e2e.sh <built Umbrill05>
set -uo pipefail

exe=$1
. "$(dirname "$0")/../lib/xsession.sh"
. "$(dirname "$0")/../lib/waylandsession.sh"
need_tools xdotool xclip xwininfo
"$python3" -c 'import pyatspi' 2>/dev/null || skip "python3-pyatspi is missing (tools/install-deps.sh installs it)"
# KWin reads its layouts from the settings folder that the session sets up.
mkdir -p "$work/config"
printf '[Layout]\nLayoutList=us,de\nUse=true\n' >"$work/config/kxkbrc"
start_kwin_session
echo "KWin's XWayland is $DISPLAY"

# a € é α ș U+1F600 ä, one row of seven keys.
program_folder '[Umbrill]\r\nLanguages=Test\r\nTest="DejaVu Sans",12,7,97,8364,233,945,537,128512,228\r\n'
write_store '"ControlLanguage"="English"\r\n"PasteFormat"="unicode"\r\n"LastLanguage"="Test"\r\n"WindowPosition"="600,500"\r\n"TypeIntoWindow"="1"\r\n'
characters=(a € é α ș $'\U0001F600' ä)
# The notice, read through AT-SPI.
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

# The target: a GTK 4 entry, native on Wayland.
out="$work/typed.txt"
"$python3" "$lib_dir/textentry.py" 4 typing-target "$out" >"$work/entry.log" 2>&1 &
session_pids+=($!)
poll test -e "$out" || { echo "FAIL: the GTK 4 entry did not show"; cat "$work/entry.log"; exit 1; }

# What the pad asks of the portal, for the failure report.
dbus-monitor --session "interface='org.freedesktop.portal.RemoteDesktop'" >"$work/portal-calls.log" 2>&1 &
session_pids+=($!)

# The pad shows without a frame (KWin here has no decorations): its keys are
# 42 pixels wide, in a row at the bottom.
QT_QPA_PLATFORM=xcb "$prog/Umbrill05" >"$work/app.log" 2>&1 &
app_pid=$!
poll find_program_window '^Test Umbrill$' || { echo "FAIL: no pad"; cat "$work/app.log"; exit 1; }
main=$wid
click_key() {  # key index from 0
  local k=$1 x y height
  x=$(xwininfo -id "$main" | sed -n 's/.*Absolute upper-left X: *//p')
  y=$(xwininfo -id "$main" | sed -n 's/.*Absolute upper-left Y: *//p')
  height=$(xwininfo -id "$main" | sed -n 's/^ *Height: *//p')
  session_input click $((x + k * 42 + 21)) $((y + height - 21))
}
clipboard() { xclip -selection clipboard -o 2>/dev/null; }
notice_says() {  # text: the pad's notice line shows it
  "$python3" "$(dirname "$0")/atspi_dump.py" --roles "$app_pid" "label	$1" 10 >"$work/roles.txt" 2>>"$work/atspi.err"
}

# --- a key clicked as the pad starts: the portal grants at once, and the key
# waits only for the session to start --------------------------------------
poll bash -c '[ "$(xwininfo -id "$0" | sed -n "s/^ *Height: *//p")" -gt 40 ]' "$main"
click_key 0 || fail "could not click a"
if poll bash -c '[ "$(cat "$0")" = a ]' "$out"; then pass; else fail "a clicked as the pad starts: the entry got '$(cat "$out")'"; fi

# --- characters the layout lacks: on the clipboard, with the notice ---------
# A click types within a tenth of a second here: ten seconds is plenty.
for k in 1 2 3 4 5 6; do
  want=${characters[$k]}
  click_key "$k" || fail "could not click $want"
  if POLL_TRIES=500 poll bash -c '[ "$(xclip -selection clipboard -o 2>/dev/null)" = "$0" ]' "$want"; then
    pass
  else
    fail "$want: the clipboard has '$(clipboard)'"
  fi
  if notice_says "Could not type $want: it is on the clipboard (Ctrl+V)."; then
    pass
  else
    fail "$want: the notice says '$(grep '^label' "$work/roles.txt" | cut -f2 | tr '\n' '|')'"
  fi
done
# Typing goes on after them, and none of them reached the entry.
click_key 0
if POLL_TRIES=500 poll bash -c '[ "$(cat "$0")" = aa ]' "$out"; then pass; else fail "after the notices the entry has '$(cat "$out")', expected 'aa'"; fi

# --- an X11 program on XWayland -----------------------------------------------
out3="$work/typed3.txt"
GDK_BACKEND=x11 "$python3" "$lib_dir/textentry.py" 3 typing-target-x11 "$out3" >"$work/entry3.log" 2>&1 &
session_pids+=($!)
poll test -e "$out3.active" || fail "the GTK 3 entry did not become the active window"
# Typed through XTest, it gets every character, those the layout lacks too.
for k in 0 1 2 3 4 5 6; do click_key "$k"; done
want3=$(printf '%s' "${characters[@]}")
if poll bash -c '[ "$(cat "$0")" = "$1" ]' "$out3" "$want3"; then pass; else fail "the X11 entry got '$(cat "$out3")', expected '$want3'"; fi

# --- a session whose input method is IBus: the Unicode entry ------------------
kill "$app_pid"; wait "$app_pid" 2>/dev/null; app_pid=""
out4="$work/typed4.txt"
"$python3" "$lib_dir/textentry.py" 4 typing-target-ibus "$out4" >"$work/entry4.log" 2>&1 &
session_pids+=($!)
poll test -e "$out4.active" || fail "the second GTK 4 entry did not become the active window"
QT_IM_MODULE=ibus QT_QPA_PLATFORM=xcb "$prog/Umbrill05" >>"$work/app.log" 2>&1 &
app_pid=$!
poll find_program_window '^Test Umbrill$' || { echo "FAIL: no second pad"; exit 1; }
main=$wid
poll bash -c '[ "$(xwininfo -id "$0" | sed -n "s/^ *Height: *//p")" -gt 40 ]' "$main"
for k in 1 3 5 6; do click_key "$k"; done
want="${characters[1]}${characters[3]}${characters[5]}${characters[6]}"
if poll bash -c '[ "$(cat "$0")" = "$1" ]' "$out4" "$want"; then pass; else fail "with IBus the entry got '$(cat "$out4")', expected '$want'"; fi

[ "$failures" -eq 0 ] || { echo "--- app"; cat "$work/app.log"; grep -o "member=[A-Za-z]*" "$work/portal-calls.log" | sort | uniq -c; tail -n 20 "$work/kwin.log" "$work/portal-backend.log"; }
finish
