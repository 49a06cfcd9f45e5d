#!/usr/bin/env bash
# Starts the program in a real X window under Xvfb, finds the window titled
# "QOR 3D", computes the empty model through the menu and reads back the title
# of the message box as the window system has it (exactly "Obliczenia"), then
# ends the program with Ctrl+X. Fails when a window does not appear with its
# title or the program does not end by itself.
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
  xdotool key alt+o o
  # The menu popup carries the same name while it is open; wait for it to go.
  sleep 1
  box=$(timeout 10 xdotool search --sync --onlyvisible --name "^Obliczenia" | head -n 1)
  title=$(xdotool getwindowname "$box" 2>/dev/null)
  if [ "$title" != "Obliczenia" ]; then echo "message box titled \"$title\", not \"Obliczenia\""; kill $pid; exit 1; fi
  xdotool key Return
  for i in $(seq 1 50); do
    xdotool search --onlyvisible --name "^Obliczenia" >/dev/null || break
    sleep 0.1
  done
  xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
  sleep 0.5
  xdotool key --window "$window" ctrl+x
  for i in $(seq 1 100); do
    if ! kill -0 $pid 2>/dev/null; then wait $pid; code=$?; echo "program ended with code $code"; exit $code; fi
    sleep 0.1
  done
  echo "program did not end after Ctrl+X"; kill $pid; exit 1
' "$program"
