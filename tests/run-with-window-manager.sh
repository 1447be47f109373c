#!/usr/bin/env bash
# Runs a test program on a real X server (Xvfb) under a window manager, so
# that what only a window manager does can be checked.
#   run-with-window-manager.sh [--wm openbox|xfwm4] [--screen WIDTHxHEIGHT] program [arguments]
# The window manager defaults to openbox and the screen to 1280x1024. The
# program finds the manager's name in TAVOLUX_WINDOW_MANAGER. Without Xvfb or
# the window manager the test is skipped (exit code 0 and a note).
set -u
wm=openbox
screen=1280x1024
while [ $# -gt 0 ]; do
  case "$1" in
    --wm) wm=$2; shift 2 ;;
    --screen) screen=$2; shift 2 ;;
    *) break ;;
  esac
done
case "$wm" in
  openbox) wm_command=(openbox) ;;
  xfwm4) wm_command=(xfwm4 --compositor=off) ;;
  *) echo "unknown window manager: $wm"; exit 1 ;;
esac
if ! command -v Xvfb >/dev/null || ! command -v "${wm_command[0]}" >/dev/null; then
  echo "SKIP: Xvfb and $wm are needed"
  exit 0
fi
display=""
for n in $(seq 90 140); do
  [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { display=":$n"; break; }
done
[ -n "$display" ] || { echo "no free X display"; exit 1; }
Xvfb "$display" -screen 0 "${screen}x24" -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
wm_pid=""
trap 'kill $wm_pid $xvfb 2>/dev/null; wait 2>/dev/null' EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
# A home of its own, so that the manager's settings are its defaults.
wm_home=$(mktemp -d)
bus_pid=""
trap 'kill $wm_pid $bus_pid $xvfb 2>/dev/null; wait 2>/dev/null; rm -rf "$wm_home"' EXIT
if [ "$wm" = xfwm4 ]; then
  # xfwm4 reads its settings through a session bus of its own.
  bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=1) || { echo "no session bus"; exit 1; }
  export DBUS_SESSION_BUS_ADDRESS=$(echo "$bus" | sed -n 1p)
  bus_pid=$(echo "$bus" | sed -n 2p)
fi
DISPLAY=$display HOME=$wm_home XDG_CONFIG_HOME=$wm_home/.config "${wm_command[@]}" >/dev/null 2>&1 &
wm_pid=$!
# Until the manager has taken the screen.
for _ in $(seq 50); do
  DISPLAY=$display xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
sleep 0.5
DISPLAY=$display QT_QPA_PLATFORM=xcb TAVOLUX_WINDOW_MANAGER=$wm "$@"
