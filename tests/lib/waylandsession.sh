# A headless Wayland session of the test's own: a private session bus, the
# compositor with XWayland on an X display of our choosing, the desktop
# portals, and a virtual keyboard and pointer kept alive for the test's
# length. Sourced after xsession.sh (whose helpers and clean-up it uses).
# start_gnome_session (mutter) needs the path of the built xwaylandpin
# library; start_kwin_session (kwin_wayland --virtual) skips where KWin or its
# portal cannot run here. Both type with the `us` layout; in mutter's session
# gnome_layout sets another one.

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

# A private session bus and folders for a desktop of that name.
private_session() {  # XDG_CURRENT_DESKTOP
  "$python3" -c 'import dbus, gi; gi.require_version("Gtk", "4.0")' 2>/dev/null || skip "python3-dbus or GTK 4's introspection data is missing"
  cleanup_hooks+=(stop_session)
  export XDG_RUNTIME_DIR="$work/run"
  mkdir -p -m 0700 "$XDG_RUNTIME_DIR"
  export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_CACHE_HOME="$work/cache"
  export XDG_CURRENT_DESKTOP=$1 XDG_SESSION_TYPE=wayland GSETTINGS_BACKEND=memory
  unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
  local address
  address=$(dbus-daemon --session --fork --nopidfile --print-address=1 --print-pid=3 3>"$work/dbus.pid") \
    || { echo "FAIL: no session bus"; exit 1; }
  dbus_pid=$(cat "$work/dbus.pid")
  export DBUS_SESSION_BUS_ADDRESS=$address
  # X refuses a socket folder made with the umask's mode.
  [ -d /tmp/.X11-unix ] || { mkdir -p /tmp/.X11-unix && chmod 1777 /tmp/.X11-unix; }
}

# Starts the desktop's portal backend (a portal that the bus started on its
# own would not know the display), then the portal, and waits until its
# RemoteDesktop interface answers. The portal knows only this backend: one of
# another desktop that it started would outlive the session. With "skip", a
# backend that does not start skips the test instead of failing it.
start_portals() {  # backend program, its bus name, its .portal file [skip]
  local backend=$1 name=$2 pid
  mkdir -p "$work/portals"
  cp "/usr/share/xdg-desktop-portal/portals/$3" "$work/portals/"
  "$backend" >"$work/portal-backend.log" 2>&1 &
  pid=$!
  session_pids+=($pid)
  poll bash -c 'dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner string:"$0" | grep -q true || ! kill -0 "$1" 2>/dev/null' "$name" "$pid"
  if ! dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner string:"$name" | grep -q true; then
    tail "$work/portal-backend.log"
    [ "${4:-}" = skip ] && skip "$(basename "$backend") does not start here (its log above)"
    echo "FAIL: $(basename "$backend") did not start"
    exit 1
  fi
  XDG_DESKTOP_PORTAL_DIR="$work/portals" /usr/libexec/xdg-desktop-portal >"$work/portal.log" 2>&1 &
  session_pids+=($!)
  poll bash -c 'dbus-send --session --print-reply --dest=org.freedesktop.portal.Desktop /org/freedesktop/portal/desktop org.freedesktop.DBus.Properties.Get string:org.freedesktop.portal.RemoteDesktop string:version >/dev/null 2>&1' \
    || { echo "FAIL: the RemoteDesktop portal did not answer"; tail "$work/portal.log" "$work/portal-backend.log"; exit 1; }
}

# The virtual keyboard and pointer: commands on fd 7, answers on fd 8.
start_session_input() {  # [--portal]
  mkfifo "$work/input.in" "$work/input.out"
  "$python3" "$lib_dir/mutterinput.py" "$@" <"$work/input.in" >"$work/input.out" 2>>"$work/input.log" &
  input_pid=$!
  session_pids+=($input_pid)
  exec 7>"$work/input.in" 8<"$work/input.out"
  local answer
  read -r -t 30 answer <&8 && [ "$answer" = ready ] || { echo "FAIL: no virtual keyboard in the session"; cat "$work/input.log"; exit 1; }
}

start_gnome_session() {  # pin library
  local pin=$1 display
  need_tools mutter Xwayland dbus-daemon
  for f in /usr/libexec/xdg-desktop-portal /usr/libexec/xdg-desktop-portal-gnome; do
    [ -x "$f" ] || skip "$f is missing (tools/install-deps.sh installs it)"
  done
  private_session GNOME

  display=$(free_x_display) || skip "no free X display between :40 and :99"
  export WAYLAND_DISPLAY=umbrill-wayland
  UMBRILL_XWAYLAND_DISPLAY=$display UMBRILL_XKB_LAYOUT_FILE="$work/xkb-layout" LD_PRELOAD=$pin \
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

  start_portals /usr/libexec/xdg-desktop-portal-gnome org.freedesktop.impl.portal.desktop.gnome gnome.portal
  start_session_input
}

# Sets mutter's keyboard layout (through the preloaded library) and waits
# until XWayland has it too, seen by a keysym that only one of the layouts
# has: the pad reads the layout there.
gnome_layout() {  # layout keysym [--without]
  printf '%s\n' "$1" >"$work/xkb-layout.tmp" && mv "$work/xkb-layout.tmp" "$work/xkb-layout"
  poll grep -q "^umbrill: keymap $1\$" "$work/mutter.log" || { fail "mutter did not take the layout $1: $(grep '^umbrill:' "$work/mutter.log")"; return 1; }
  poll bash -c 'xmodmap -pke | grep -qw "$0"; [ $? -eq "$1" ]' "$2" "$([ "${3:-}" = --without ] && echo 1 || echo 0)" \
    || { fail "XWayland did not take the layout $1"; return 1; }
}

# The KDE portal, wherever the distribution puts its helpers.
kde_portal() {
  local f
  for f in /usr/lib/*/libexec/xdg-desktop-portal-kde /usr/libexec/xdg-desktop-portal-kde; do
    [ -x "$f" ] && { echo "$f"; return 0; }
  done
  return 1
}

# KWin with XWayland on an X display that xdisplayclaim.py claims for it (KWin
# alone would take the first free one from :0), and KDE's portal, which
# grants the keyboard and pointer without asking.
start_kwin_session() {
  local kwin portal
  need_tools kwin_wayland Xwayland dbus-daemon
  portal=$(kde_portal) || skip "xdg-desktop-portal-kde is missing (tools/install-deps.sh installs it)"
  [ -x /usr/libexec/xdg-desktop-portal ] || skip "/usr/libexec/xdg-desktop-portal is missing"
  # The KDE portal speaks to KWin as a Wayland client of Qt 5.
  ls /usr/lib/*/qt5/plugins/platforms/libqwayland-generic.so >/dev/null 2>&1 || skip "Qt 5's Wayland platform (qtwayland5) is missing (tools/install-deps.sh installs it)"
  private_session KDE

  # The installed kwin_wayland carries a file capability that a container may
  # refuse to run; a copy without it runs, if its name stays kwin_wayland.
  kwin=$(command -v kwin_wayland)
  if ! "$kwin" --version >/dev/null 2>&1; then
    mkdir -p "$work/bin"
    cp "$kwin" "$work/bin/kwin_wayland" 2>/dev/null || skip "kwin_wayland does not run here, and no copy could be made"
    kwin="$work/bin/kwin_wayland"
    "$kwin" --version >/dev/null 2>&1 || skip "kwin_wayland does not run here: $("$kwin" --version 2>&1 | tail -n1)"
  fi

  export WAYLAND_DISPLAY=umbrill-kwin
  export XAUTHORITY="$work/xauthority"
  local kwin_pid
  "$python3" "$lib_dir/xdisplayclaim.py" 40 "$work/display" "$XAUTHORITY" \
    "$kwin" --virtual --xwayland --socket "$WAYLAND_DISPLAY" --width 1280 --height 800 \
    --no-lockscreen --no-global-shortcuts --no-kactivities >"$work/kwin.log" 2>&1 &
  kwin_pid=$!
  session_pids+=($kwin_pid)
  poll bash -c 'test -s "$0" || ! kill -0 "$1" 2>/dev/null' "$work/display" "$kwin_pid"
  [ -s "$work/display" ] || { echo "FAIL: no X display for KWin"; cat "$work/kwin.log"; exit 1; }
  claimed_display=$(cat "$work/display")
  cleanup_hooks+=(release_display)
  export DISPLAY=":$claimed_display"
  # A KWin that cannot start here (no rendering, say) ends at once.
  poll bash -c 'xwininfo -root >/dev/null 2>&1 || ! kill -0 "$0" 2>/dev/null' "$kwin_pid"
  if ! { [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && xwininfo -root >/dev/null 2>&1; }; then
    tail "$work/kwin.log"
    kill -0 "$kwin_pid" 2>/dev/null || skip "kwin_wayland --virtual does not start here (its log above)"
    echo "FAIL: KWin gave no XWayland on $DISPLAY"
    exit 1
  fi

  QT_QPA_PLATFORM=wayland start_portals "$portal" org.freedesktop.impl.portal.desktop.kde kde.portal skip
  start_session_input --portal
}

# The lock file and socket of the display claimed for KWin, which no X server removes.
release_display() {
  [ -n "${claimed_display:-}" ] || return 0
  rm -f "/tmp/.X$claimed_display-lock" "/tmp/.X11-unix/X$claimed_display"
}

# Sends one command to the virtual input devices and waits for its answer.
session_input() {
  local answer
  echo "$*" >&7
  read -r -t 10 answer <&8 || { echo "no answer to '$*'"; return 1; }
  [ "$answer" = ok ] || { echo "$answer"; return 1; }
}

# The pad "Test Umbrill" from $prog on XWayland, laid out; sets $app_pid and
# $main.
start_pad() {
  env QT_QPA_PLATFORM=xcb "$prog/Umbrill05" >>"$work/app.log" 2>&1 &
  app_pid=$!
  poll bash -c 'xdotool search --onlyvisible --name "^Test Umbrill$" >/dev/null 2>&1' || { fail "no pad"; cat "$work/app.log"; exit 1; }
  main=$(xdotool search --onlyvisible --name '^Test Umbrill$' 2>/dev/null | head -n1)
  poll bash -c '[ "$(xdotool getwindowgeometry --shell "$0" | grep HEIGHT=)" != "HEIGHT=200" ]' "$main"
}

# Where a key of the pad's bottom row is on the screen: "x y" of its middle.
# The keys are 42 pixels wide. xdotool counts the title bar twice for a
# framed window: xwininfo has the pad's true place.
pad_key_point() {  # key index from 0
  local info x y height
  info=$(xwininfo -id "$main") || return 1
  x=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
  y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
  height=$(sed -n 's/^ *Height: *//p' <<<"$info")
  echo "$((x + $1 * 42 + 21)) $((y + height - 21))"
}
