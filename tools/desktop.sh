#!/usr/bin/env bash
# Starts a virtual desktop for trying the program as a user would: Xvfb on
# display :N (11 unless given) at the size given (1024x768 unless given),
# the openbox window manager, and a US and Persian keyboard (Alt+Shift
# switches). Needs the packages `VELMORAN_DESKTOP=1 tools/setup.sh` installs.
#
#   tools/desktop.sh 11 1024x768
#   DISPLAY=:11 build/velmoran &
#   DISPLAY=:11 xdotool type --delay 80 QORVATELKS58; DISPLAY=:11 xdotool key Return
#   import -display :11 -window root shot.png
#
# The desktop runs until its Xvfb is ended: kill "$(cat /tmp/velmoran-desktop-11.pid)".
set -euo pipefail
display="${1:-11}"
size="${2:-1024x768}"
pidfile="/tmp/velmoran-desktop-$display.pid"

Xvfb ":$display" -noreset -screen 0 "${size}x24" >/dev/null 2>&1 &
echo $! >"$pidfile"
for _ in $(seq 50); do
    if xdpyinfo -display ":$display" >/dev/null 2>&1; then break; fi
    sleep 0.1
done
DISPLAY=":$display" openbox >/dev/null 2>&1 &
DISPLAY=":$display" setxkbmap -layout us,ir -option grp:alt_shift_toggle
echo "desktop :$display ($size) running; Xvfb pid $(cat "$pidfile")"
