#!/usr/bin/env bash
# Runs a test program on a real X server (Xvfb) under the openbox window
# manager, so that what only a window manager does can be checked.
# Without Xvfb or openbox the test is skipped (exit code 0 and a note).
set -u
if ! command -v Xvfb >/dev/null || ! command -v openbox >/dev/null; then
  echo "SKIP: Xvfb and openbox are needed"
  exit 0
fi
display=""
for n in $(seq 90 140); do
  [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { display=":$n"; break; }
done
[ -n "$display" ] || { echo "no free X display"; exit 1; }
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $wm $xvfb 2>/dev/null; wait 2>/dev/null' EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
DISPLAY=$display openbox >/dev/null 2>&1 &
wm=$!
sleep 1
DISPLAY=$display QT_QPA_PLATFORM=xcb "$@"
