#!/usr/bin/env bash
# Starts the program in a real X window under Xvfb, finds the window titled
# "QOR 3D" and ends the program with Ctrl+X. Fails when the window does not
# appear or the program does not end by itself.
set -u
program="$1"
unset QT_QPA_PLATFORM
export LC_ALL=C.UTF-8
exec xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  "$0" &
  pid=$!
  window=$(timeout 30 xdotool search --sync --onlyvisible --name "^QOR 3D$" | head -n 1)
  if [ -z "$window" ]; then echo "no window titled QOR 3D"; kill $pid; exit 1; fi
  xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
  sleep 0.5
  xdotool key --window "$window" ctrl+x
  for i in $(seq 1 100); do
    if ! kill -0 $pid 2>/dev/null; then wait $pid; code=$?; echo "program ended with code $code"; exit $code; fi
    sleep 0.1
  done
  echo "program did not end after Ctrl+X"; kill $pid; exit 1
' "$program"
