#!/usr/bin/env bash
# Runs a command with DISPLAY set to a private Xvfb server with a small
# window manager (so windows get frames and captions); stops both after.
set -euo pipefail

fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
xvfb=$!
read -r display <"$fifo"
rm -f "$fifo"
export DISPLAY=":$display"
# This private session has no D-Bus session bus; naming one that does not
# exist keeps the D-Bus library from starting one through the X server.
export DBUS_SESSION_BUS_ADDRESS="unix:path=/nonexistent/sinkview-test-bus"
openbox >/dev/null 2>&1 &
manager=$!
stop() { kill "$manager" "$xvfb" 2>/dev/null; wait "$manager" "$xvfb" 2>/dev/null; true; }
trap stop EXIT
# Give the window manager a moment to take over the screen.
for _ in $(seq 1 50); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
  sleep 0.1
done
"$@"
