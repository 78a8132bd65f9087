# Helpers shared by the tests that run the real program under a private X
# server (end-to-end and install tests); sourced, not run. Each test works in
# its own temporary folder, starts its own X server and never touches the real
# user's settings.

# The scripts' texts, the tools' and the program's are UTF-8 whatever the
# caller's locale (a fresh machine may have none set).
export LC_ALL=C.UTF-8
unset LANGUAGE

skip() { echo "SKIP: $*"; exit 77; }
need_tools() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null 2>&1 || skip "$tool is missing (tools/install-deps.sh installs it)"
  done
}

failures=0
passes=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { passes=$((passes + 1)); }
check() {  # check "what" command...: passes when the command succeeds
  local what=$1
  shift
  if "$@"; then pass; else fail "$what"; fi
}
finish() {
  echo "$passes passed, $failures failed"
  [ "$failures" -eq 0 ]
}

# Polls a command until it succeeds or about thirty seconds pass (a loaded
# machine can take that long to start a program the first time).
poll() {
  local i
  for i in $(seq 1 ${POLL_TRIES:-1500}); do
    "$@" && return 0
    sleep 0.02
  done
  return 1
}

work=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup_hooks=()
cleanup() {
  local hook
  for hook in "${cleanup_hooks[@]}"; do "$hook"; done
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  chmod -R u+w "$work" 2>/dev/null
  [ -n "${UMBRILL_KEEP_WORK:-}" ] && { echo "kept $work"; return; }
  rm -rf "$work"
}
trap cleanup EXIT
# A test stopped by its time limit (SIGTERM) cleans up too.
trap 'exit 143' TERM INT

# A private X server and settings folder for the program.
start_x() {
  Xvfb -displayfd 5 -screen 0 1024x768x24 -noreset -nolisten tcp 5>"$work/display" 2>"$work/xvfb.log" &
  xvfb_pid=$!
  poll test -s "$work/display" || { echo "FAIL: Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
  export DISPLAY=":$(cat "$work/display")"
  export XDG_CONFIG_HOME="$work/config"
  export QT_QPA_PLATFORM=xcb
  unset WAYLAND_DISPLAY
}

# The program in a folder of its own, $prog, beside a data file of the text
# $1 (with \r\n as in the file), and its settings folder.
program_folder() {
  prog="$work/program"
  mkdir -p "$prog" "$XDG_CONFIG_HOME/umbrill"
  cp "$exe" "$prog/Umbrill05"
  printf '%b' "$1" >"$prog/Umbrill05.ini"
}
# The settings store holding the values $1 ("Key"="value" lines, \r\n after each).
write_store() {
  printf '%b' 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\umbrill.ini\\Settings]\r\n' "$1" \
    >"$XDG_CONFIG_HOME/umbrill/user.reg"
}

# A terminal that keeps what is typed into it: its cat writes each byte to
# the file $2 as it comes (no line buffering). Window title $1; sets $term.
cat_terminal_pids=()
stop_cat_terminals() { [ ${#cat_terminal_pids[@]} -eq 0 ] || kill "${cat_terminal_pids[@]}" 2>/dev/null; }
cleanup_hooks+=(stop_cat_terminals)
start_cat_terminal() {  # title file
  : >"$2"
  LC_ALL=C.UTF-8 xterm -u8 -title "$1" -geometry 60x5+0+0 \
    -e sh -c 'stty -icanon -echo min 1; exec cat >"$0"' "$2" &
  cat_terminal_pids+=($!)
  poll bash -c 'xdotool search --onlyvisible --name "^$0\$" >/dev/null' "$1" || return 1
  term=$(xdotool search --onlyvisible --name "^$1\$" | head -n1)
}

find_window() { wid=$(xdotool search --name "$1" 2>/dev/null | head -n1); [ -n "$wid" ]; }

# The program's own window of that name, mapped (a window of that name not
# yet shown, or of another program, does not count).
find_program_window() {
  wid=$(xdotool search --all --onlyvisible --pid "$app_pid" --name "$1" 2>/dev/null | head -n1)
  [ -n "$wid" ]
}

# Starts a program and waits until its main window "Umbrill" shows; sets $main.
start_program() {  # command
  "$@" >"$work/app.log" 2>&1 &
  app_pid=$!
  if poll find_program_window '^Umbrill$'; then
    main=$wid
    return 0
  fi
  echo "FAIL: no window 'Umbrill' from $*"
  cat "$work/app.log"
  return 1
}

keys() { timeout 5 xdotool windowfocus --sync "$main" 2>/dev/null; xdotool key --clearmodifiers "$@"; }
visible_windows() { xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | wc -l; }

# Ends the program through Mode > Exit (the menu's last item); checks it ends with 0.
# A program just mapped may not take keys yet: Alt+M is pressed again until
# the menu is up.
exit_program() {
  local before rc attempt
  before=$(visible_windows)
  for attempt in 1 2 3 4 5 6 7 8 9 10; do
    keys alt+m
    POLL_TRIES=100 poll bash -c '[ "$(xdotool search --onlyvisible --pid "$0" 2>/dev/null | wc -l)" -gt "$1" ]' \
      "$app_pid" "$before" && break
  done
  xdotool key Up Return
  if poll bash -c '! kill -0 "$0" 2>/dev/null' "$app_pid"; then
    wait "$app_pid"
    rc=$?
    app_pid=""
    if [ "$rc" -eq 0 ]; then pass; else fail "the program ended with $rc"; fi
  else
    fail "Exit did not end the program"
  fi
}
