# A headless GNOME Wayland session of the test's own: a private session bus,
# mutter with XWayland on a display of our choosing, the desktop portals, and
# a virtual keyboard and pointer kept alive through mutter's RemoteDesktop
# API. Sourced after xsession.sh (whose helpers and clean-up it uses);
# start_gnome_session needs the path of the built xwaylandpin library.
# Bare mutter always types with the `us` layout.

lib_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# The system python, for which Debian installs python3-dbus and python3-gi.
python3=/usr/bin/python3

# The first X display from 40 that is free together with the next one (mutter
# takes both: one for clients, one for its own services).
free_x_display() {
  local n m
  for n in $(seq 40 2 98); do
    for m in "$n" $((n + 1)); do
      [ -e "/tmp/.X11-unix/X$m" ] || [ -e "/tmp/.X$m-lock" ] && continue 2
    done
    echo "$n"
    return 0
  done
  return 1
}

session_pids=()
stop_session() {
  local pid
  [ -n "${input_pid:-}" ] && { echo quit >&7; } 2>/dev/null
  for pid in "${session_pids[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${session_pids[@]}"; do
    for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.02; done
    kill -KILL "$pid" 2>/dev/null
  done
  [ -n "${dbus_pid:-}" ] && kill "$dbus_pid" 2>/dev/null
}

start_gnome_session() {  # pin library
  local pin=$1 display
  need_tools mutter Xwayland dbus-daemon
  for f in /usr/libexec/xdg-desktop-portal /usr/libexec/xdg-desktop-portal-gnome; do
    [ -x "$f" ] || skip "$f is missing (tools/install-deps.sh installs it)"
  done
  "$python3" -c 'import dbus, gi; gi.require_version("Gtk", "4.0")' 2>/dev/null || skip "python3-dbus or GTK 4's introspection data is missing"
  cleanup_hooks+=(stop_session)

  export XDG_RUNTIME_DIR="$work/run"
  mkdir -p -m 0700 "$XDG_RUNTIME_DIR"
  export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_CACHE_HOME="$work/cache"
  export XDG_CURRENT_DESKTOP=GNOME XDG_SESSION_TYPE=wayland GSETTINGS_BACKEND=memory
  unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
  local address
  address=$(dbus-daemon --session --fork --nopidfile --print-address=1 --print-pid=3 3>"$work/dbus.pid") \
    || { echo "FAIL: no session bus"; exit 1; }
  dbus_pid=$(cat "$work/dbus.pid")
  export DBUS_SESSION_BUS_ADDRESS=$address

  # mutter makes the socket folder with the umask's mode, which X refuses.
  [ -d /tmp/.X11-unix ] || { mkdir -p /tmp/.X11-unix && chmod 1777 /tmp/.X11-unix; }
  display=$(free_x_display) || skip "no free X display between :40 and :99"
  export WAYLAND_DISPLAY=umbrill-wayland
  UMBRILL_XWAYLAND_DISPLAY=$display LD_PRELOAD=$pin \
    mutter --wayland --headless --virtual-monitor 1280x800 --wayland-display "$WAYLAND_DISPLAY" --sm-disable \
    >"$work/mutter.log" 2>&1 &
  session_pids+=($!)
  poll test -S "/tmp/.X11-unix/X$display" || { echo "FAIL: mutter gave no XWayland on :$display"; tail "$work/mutter.log"; exit 1; }
  poll test -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" || { echo "FAIL: mutter did not start"; tail "$work/mutter.log"; exit 1; }
  export DISPLAY=":$display"
  # XWayland lets in only clients with mutter's cookie.
  poll bash -c 'ls "$XDG_RUNTIME_DIR"/.mutter-Xwaylandauth.* >/dev/null 2>&1' || { echo "FAIL: no XWayland cookie"; exit 1; }
  XAUTHORITY=$(ls "$XDG_RUNTIME_DIR"/.mutter-Xwaylandauth.* | head -n1)
  export XAUTHORITY

  # A portal that the bus started on its own would not know the display.
  /usr/libexec/xdg-desktop-portal-gnome >"$work/portal-gnome.log" 2>&1 &
  session_pids+=($!)
  poll bash -c 'dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner string:org.freedesktop.impl.portal.desktop.gnome | grep -q true' \
    || { echo "FAIL: xdg-desktop-portal-gnome did not start"; tail "$work/portal-gnome.log"; exit 1; }
  /usr/libexec/xdg-desktop-portal >"$work/portal.log" 2>&1 &
  session_pids+=($!)
  poll bash -c 'dbus-send --session --print-reply --dest=org.freedesktop.portal.Desktop /org/freedesktop/portal/desktop org.freedesktop.DBus.Properties.Get string:org.freedesktop.portal.RemoteDesktop string:version >/dev/null 2>&1' \
    || { echo "FAIL: the RemoteDesktop portal did not answer"; tail "$work/portal.log"; exit 1; }

  # The virtual keyboard and pointer: commands on fd 7, answers on fd 8.
  mkfifo "$work/input.in" "$work/input.out"
  "$python3" "$lib_dir/mutterinput.py" <"$work/input.in" >"$work/input.out" 2>>"$work/input.log" &
  input_pid=$!
  session_pids+=($input_pid)
  exec 7>"$work/input.in" 8<"$work/input.out"
  local answer
  read -r -t 30 answer <&8 && [ "$answer" = ready ] || { echo "FAIL: no virtual keyboard in mutter"; cat "$work/input.log"; exit 1; }
}

# Sends one command to the virtual input devices and waits for its answer.
session_input() {
  local answer
  echo "$*" >&7
  read -r -t 10 answer <&8 || { echo "no answer to '$*'"; return 1; }
  [ "$answer" = ok ] || { echo "$answer"; return 1; }
}
