#!/usr/bin/env bash
# One pad per display, on a real X server with a window manager, first over a
# private session bus, then with no session bus at all (a local socket): a
# second start hands its command line to the running pad and ends with 0,
# the running pad comes to the front on the current workspace, and only one
# pad shows; actions on the command line (--language, --find,
# --type-into-window) reach the running pad, and an unknown language is
# refused with a message and a non-zero status while the pad stays as it is.
# A pad killed with SIGKILL does not block the next start.
# No client jams the channel: a program that holds the pad's bus name without
# answering, idle connections, a pad out of file descriptors, and a fallback
# folder that is not the user's own.
# Usage: onepad_e2e.sh <path of the built Umbrill05> <path of busnameholder>
set -uo pipefail

exe=$1
holder=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../lib/xsession.sh"
need_tools Xvfb xdotool openbox xprop xev xterm dbus-run-session dbus-send python3 prlimit
if [ -z "${UMBRILL_E2E_BUS:-}" ]; then
  UMBRILL_E2E_BUS=1 exec dbus-run-session -- "$0" "$@"
fi
start_x
# Runtime files in a folder of the test's own (never the user's real pad's).
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

program_folder '[Umbrill]\r\nLanguages=Test,French\r\nTest="DejaVu Sans",12,5,233,8364,945\r\nFrench="DejaVu Sans",12,5,224,233,232\r\n'
write_store '"ControlLanguage"="English"\r\n"LastLanguage"="Test"\r\n'

openbox --sm-disable >"$work/openbox.log" 2>&1 &
wm_pid=$!
stop_wm() { kill "$wm_pid" 2>/dev/null; }
cleanup_hooks+=(stop_wm)
poll bash -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' || { echo "FAIL: openbox did not start"; exit 1; }

pads() { xdotool search --onlyvisible --name 'Umbrill$' 2>/dev/null | wc -l; }
start_pad() {  # title: starts the first pad and waits for its window
  "$prog/Umbrill05" >"$work/app.log" 2>&1 &
  app_pid=$!
  if poll find_program_window "^$1\$"; then main=$wid; return 0; fi
  fail "no pad window '$1'"
  cat "$work/app.log"
  return 1
}
# Runs a second start with the given arguments; sets $rc and $err.
second() {
  timeout 60 "$prog/Umbrill05" "$@" >"$work/second.out" 2>"$work/second.err"
  rc=$?
  err=$(cat "$work/second.err")
}
active_is() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]; }
title_is() { [ "$(xdotool getwindowname "$1" 2>/dev/null)" = "$2" ]; }
setting() { tr -d '\r' <"$XDG_CONFIG_HOME/umbrill/user.reg" | sed -n "s/^\"$1\"=\"\\(.*\\)\"\$/\\1/p"; }

# The second start on the same display: exit 0, one pad, the first one in
# front and active again, moved to the workspace the user is on.
second_start_brings_the_pad() {  # what
  local what=$1
  xdotool windowminimize "$main"
  poll bash -c '! xdotool search --onlyvisible --name "^Test Umbrill$" >/dev/null 2>&1'
  xdotool set_desktop 1
  second
  check "$what: the second start ends with 0 ($rc: $err)" test "$rc" -eq 0
  check "$what: the pad shows again" poll find_program_window '^Test Umbrill$'
  check "$what: the pad is on the current workspace" \
    poll bash -c '[ "$(xdotool get_desktop_for_window "$0" 2>/dev/null)" = 1 ]' "$main"
  check "$what: the pad is active" poll active_is "$main"
  check "$what: one pad, not two ($(pads))" test "$(pads)" -eq 1
  check "$what: the first pad still runs" kill -0 "$app_pid"
  xdotool set_desktop 0
}

actions_reach_the_pad() {  # what
  local what=$1
  second --language french
  check "$what: --language is carried out ($rc: $err)" test "$rc" -eq 0
  check "$what: the pad shows French" poll title_is "$main" "French Umbrill"
  second --language Klingon
  check "$what: an unknown language fails" test "$rc" -ne 0
  check "$what: the message names it: $err" grep -q "Klingon" "$work/second.err"
  check "$what: the pad stays as it was" title_is "$main" "French Umbrill"
  second --language
  check "$what: --language without a name is a mistake ($rc)" test "$rc" -eq 2
  second --find
  check "$what: --find ends with 0 ($rc: $err)" test "$rc" -eq 0
  if poll find_program_window '^Find Character$'; then
    pass
    check "$what: Find is active" poll active_is "$wid"
    xdotool key Escape
    poll bash -c '! xdotool search --onlyvisible --name "^Find Character$" >/dev/null 2>&1'
  else
    fail "$what: --find opened no Find window"
  fi
  second --type-into-window on
  check "$what: --type-into-window on ($rc: $err)" test "$rc" -eq 0
  check "$what: Type into Window is on" poll bash -c "[ \"\$(tr -d '\\r' <'$XDG_CONFIG_HOME/umbrill/user.reg' | grep -c '\"TypeIntoWindow\"=\"1\"')\" = 1 ]"
  # With Type into Window on, the pad comes to the current workspace but
  # leaves the focus on the window the user writes in.
  xterm -title writer -geometry 40x5+0+0 &
  local term_pid=$!
  if poll bash -c 'xdotool search --onlyvisible --name "^writer$" >/dev/null 2>&1'; then
    local term
    term=$(xdotool search --onlyvisible --name '^writer$' | head -n1)
    xdotool set_desktop 2
    xdotool set_desktop_for_window "$term" 2
    xdotool windowactivate "$term" 2>/dev/null
    poll active_is "$term"
    second
    check "$what: typing on, the pad comes to the current workspace" \
      poll bash -c '[ "$(xdotool get_desktop_for_window "$0" 2>/dev/null)" = 2 ]' "$main"
    check "$what: typing on, the focus stays where the user writes" active_is "$term"
    xdotool set_desktop 0
  else
    fail "$what: no xterm"
  fi
  kill "$term_pid" 2>/dev/null
  wait "$term_pid" 2>/dev/null
  second --type-into-window off
  check "$what: --type-into-window off ($rc: $err)" test "$rc" -eq 0
  check "$what: Type into Window is off" poll bash -c "[ \"\$(tr -d '\\r' <'$XDG_CONFIG_HOME/umbrill/user.reg' | grep -c '\"TypeIntoWindow\"=\"0\"')\" = 1 ]"
  second --type-into-window maybe
  check "$what: on|off only ($rc)" test "$rc" -eq 2
  second --language Test
  poll title_is "$main" "Test Umbrill"
}

killed_pad_does_not_block() {  # what
  local what=$1
  kill -9 "$app_pid"
  wait "$app_pid" 2>/dev/null
  app_pid=""
  poll bash -c '[ "$(xdotool search --onlyvisible --name "Umbrill$" 2>/dev/null | wc -l)" = 0 ]'
  start_pad "Test Umbrill" || return
  pass
  second --language French
  check "$what: the new pad answers ($rc: $err)" test "$rc" -eq 0
  check "$what: the new pad shows French" poll title_is "$main" "French Umbrill"
  check "$what: one pad ($(pads))" test "$(pads)" -eq 1
  second --language Test
}

# The CPU time (user and system, in clock ticks) a process has used.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# Opens count connections to the socket and sends nothing; prints how many
# the pad had closed after 1 s and after 6 s, and the seconds until the first
# connection it accepted was closed.
idle_clients() {  # socket count
  python3 - "$1" "$2" <<'PY'
import select, socket, sys, time
path, count = sys.argv[1], int(sys.argv[2])
clients, start = [], time.monotonic()
for _ in range(count):
    c = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    c.connect(path)
    clients.append(c)
closed_at = {}
def watch(until):
    while time.monotonic() < until and len(closed_at) < count:
        ready, _, _ = select.select([c for c in clients if c not in closed_at], [], [], 0.05)
        for c in ready:
            try:
                gone = c.recv(1) == b""
            except OSError:
                gone = True
            if gone:
                closed_at[c] = time.monotonic() - start
    return len(closed_at)
early = watch(start + 1)
late = watch(start + 6)
print(early, late, "%.1f" % (closed_at.get(clients[0], 99)))
PY
}

# A pad on the socket that no client can jam.
socket_cannot_be_jammed() {
  local socket early late first before after limit
  socket=$(ls "$XDG_RUNTIME_DIR"/umbrill-*.socket | head -n1)
  read -r early late first < <(idle_clients "$socket" 40)
  check "idle: connections beyond 32 are closed at once ($early of 40)" test "$early" -ge 8
  check "idle: every idle connection is dropped ($late of 40)" test "$late" -eq 40
  check "idle: after about 2 s, not at once ($first s)" awk -v t="$first" 'BEGIN { exit !(t >= 1.5 && t <= 5) }'
  # Out of descriptors: the pad may keep only a few more files open.
  limit=$(( $(ls "/proc/$app_pid/fd" | wc -l) + 8 ))
  prlimit --pid "$app_pid" --nofile="$limit":"$limit"
  before=$(cpu_ticks "$app_pid")
  read -r early late first < <(idle_clients "$socket" 12)
  after=$(cpu_ticks "$app_pid")
  check "EMFILE: the pad does not spin ($((after - before)) ticks in 6 s)" test $((after - before)) -lt 100
  check "EMFILE: the waiting connections are still dropped ($late of 12)" test "$late" -eq 12
  second --language French
  check "EMFILE: a later start is still answered ($rc: $err)" test "$rc" -eq 0
  check "EMFILE: the pad shows French" poll title_is "$main" "French Umbrill"
  second --language Test
}

# The bus name the pad of this display claims.
pad_bus_name() {
  local key=${DISPLAY%.*} out="" c i
  for ((i = 0; i < ${#key}; i++)); do
    c=${key:i:1}
    if [[ $c =~ [A-Za-z0-9] ]]; then out+=$c; else out+=$(printf '_%02x' "'$c"); fi
  done
  echo "org.example.Umbrill.d$out"
}

# --- --help lists the actions, with no display needed ----------------------------
help=$(env -u DISPLAY "$prog/Umbrill05" --help)
check "--help ends with 0" test $? -eq 0
for option in --language --find --type-into-window --help; do
  check "--help lists $option" grep -q -- "$option" <<<"$help"
done

# --- a program of another kind holds the pad's bus name -----------------------------
: >"$work/holder.out"
"$holder" "$(pad_bus_name)" >>"$work/holder.out" 2>&1 &
holder_pid=$!
stop_holder() { kill "$holder_pid" 2>/dev/null; }
cleanup_hooks+=(stop_holder)
if poll grep -q held "$work/holder.out"; then
  if start_pad "Test Umbrill"; then
    check "squatted: the pad starts and says why in one line: $(cat "$work/app.log")" \
      test "$(grep -c 'does not answer as a pad' "$work/app.log")" -eq 1
    second --language French
    check "squatted: a later start reaches the pad ($rc: $err)" test "$rc" -eq 0
    check "squatted: the pad shows French" poll title_is "$main" "French Umbrill"
    check "squatted: one pad ($(pads))" test "$(pads)" -eq 1
    second --language Test
    poll title_is "$main" "Test Umbrill"
    exit_program
  fi
else
  fail "the bus name holder did not take the name: $(cat "$work/holder.out")"
fi
stop_holder

# --- over the private session bus ---------------------------------------------
start_pad "Test Umbrill" || exit 1
check "the pad holds its name on the bus" poll bash -c \
  'dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus org.freedesktop.DBus.ListNames | grep -q org.example.Umbrill'
second_start_brings_the_pad "bus"
# A start from a launcher that announced it (startup notification) ends the
# announcement, or the desktop shows a busy cursor until it gives up.
xev -root -event property >"$work/xev.txt" 2>&1 &
xev_pid=$!
stop_xev() { kill "$xev_pid" 2>/dev/null; }
cleanup_hooks+=(stop_xev)
# xev watches once it reports a property changed on the root window.
poll bash -c 'xprop -root -f _UMBRILL_TEST 8s -set _UMBRILL_TEST 1; grep -q _UMBRILL_TEST "$0"' "$work/xev.txt"
DESKTOP_STARTUP_ID="launcher-1_TIME42" second
check "the startup notice is ended" poll grep -q '_NET_STARTUP_INFO_BEGIN' "$work/xev.txt"
stop_xev
actions_reach_the_pad "bus"
killed_pad_does_not_block "bus"
exit_program

# --- with no session bus: a local socket ----------------------------------------
bus_address=$DBUS_SESSION_BUS_ADDRESS
unset DBUS_SESSION_BUS_ADDRESS
if start_pad "Test Umbrill"; then
  check "no bus: the pad listens on a socket of the runtime folder" \
    poll bash -c 'ls "$0"/umbrill-*.socket >/dev/null 2>&1' "$XDG_RUNTIME_DIR"
  second_start_brings_the_pad "no bus"
  actions_reach_the_pad "no bus"
  killed_pad_does_not_block "no bus"
  check "no bus: the killed pad's socket was replaced, not added to" \
    test "$(ls "$XDG_RUNTIME_DIR" | grep -c '\.socket$')" -eq 1
  socket_cannot_be_jammed
  exit_program
fi

# --- a fallback folder that is not the user's own ------------------------------------
# The runtime folder is open to others, and the temporary folder's umbrill-<uid>
# belongs to someone else (or, run as a user who cannot give it away, is open).
runtime=$XDG_RUNTIME_DIR
export TMPDIR="$work/tmp" XDG_RUNTIME_DIR="$work/open-runtime"
mkdir -p "$TMPDIR/umbrill-$(id -u)" && chmod 755 "$TMPDIR/umbrill-$(id -u)"
chown nobody "$TMPDIR/umbrill-$(id -u)" 2>/dev/null
mkdir -m 755 "$XDG_RUNTIME_DIR"
if start_pad "Test Umbrill"; then
  check "foreign folder: a private one in the runtime folder holds the socket" \
    poll bash -c 'ls "$0"/umbrill/umbrill-*.socket >/dev/null 2>&1' "$XDG_RUNTIME_DIR"
  check "foreign folder: it is private" test "$(stat -c %a "$XDG_RUNTIME_DIR/umbrill")" = 700
  check "foreign folder: nothing is written into the foreign one" test -z "$(ls -A "$TMPDIR/umbrill-$(id -u)")"
  second --language French
  check "foreign folder: a later start reaches the pad ($rc: $err)" test "$rc" -eq 0
  second --language Test
  poll title_is "$main" "Test Umbrill"
  exit_program
fi
unset XDG_RUNTIME_DIR
"$prog/Umbrill05" >"$work/app.log" 2>&1 &
app_pid=$!
if poll find_program_window '^Test Umbrill$'; then
  main=$wid
  check "no private folder at all: stderr says one pad per display is off: $(cat "$work/app.log")" \
    grep -q 'one pad per display is off' "$work/app.log"
  exit_program
else
  fail "no private folder at all: no pad: $(cat "$work/app.log")"
  kill "$app_pid" 2>/dev/null
fi
export XDG_RUNTIME_DIR=$runtime
unset TMPDIR
export DBUS_SESSION_BUS_ADDRESS=$bus_address

# --- no pad running: the actions apply to the new pad ---------------------------
"$prog/Umbrill05" --language Klingon >"$work/app.log" 2>"$work/first.err"
rc=$?
check "a first start with an unknown language fails ($rc)" test "$rc" -ne 0
check "and says why: $(cat "$work/first.err")" grep -q "Klingon" "$work/first.err"
check "and shows no pad" test "$(pads)" -eq 0
"$prog/Umbrill05" --language French >"$work/app.log" 2>&1 &
app_pid=$!
check "a first start shows the language asked for" poll find_program_window '^French Umbrill$'
main=$wid
exit_program

# --- two starts at once, with and without the bus: one of them is the pad ----------
two_at_once() {  # what
  local what=$1 a b ended rc
  "$prog/Umbrill05" >"$work/a.log" 2>&1 &
  a=$!
  "$prog/Umbrill05" >"$work/b.log" 2>&1 &
  b=$!
  if poll bash -c '! kill -0 "$0" 2>/dev/null || ! kill -0 "$1" 2>/dev/null' "$a" "$b"; then
    if kill -0 "$a" 2>/dev/null; then ended=$b; app_pid=$a; else ended=$a; app_pid=$b; fi
    wait "$ended"
    rc=$?
    check "$what: the start that handed over ends with 0 ($rc)" test "$rc" -eq 0
    if poll find_program_window 'Umbrill$'; then
      main=$wid
      check "$what: one pad ($(pads))" test "$(pads)" -eq 1
      exit_program
    else
      fail "$what: no pad"
      kill "$app_pid" 2>/dev/null
    fi
  else
    fail "$what: both starts keep running"
    kill "$a" "$b" 2>/dev/null
  fi
}
two_at_once "bus"
unset DBUS_SESSION_BUS_ADDRESS
two_at_once "no bus"
export DBUS_SESSION_BUS_ADDRESS=$bus_address

finish
