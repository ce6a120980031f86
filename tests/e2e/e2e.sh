#!/usr/bin/env bash
# Starts the viewer on a virtual 1024x768 screen with generated pictures, presses keys and drags
# the mouse like a user, and checks pixels of screenshots after each step.
set -euo pipefail
bin=$1
dragsource=${2:-}
source "$(dirname "$0")/bildschirm.sh"

convert -size 800x600 xc:red "$work/red.jpg"
convert -size 2000x1000 xc:blue "$work/blue.jpg"

failures=0
# expect "what" X Y "r,g,b": waits up to 10 s for the pixel, then reports.
expect() {
  local what=$1 x=$2 y=$3 want=$4 got=""
  for _ in $(seq 50); do
    got=$(pixel "$x" "$y")
    near "$got" "$want" && { echo "ok   $what ($x,$y) = $got"; return 0; }
    sleep 0.2
  done
  echo "FAIL $what ($x,$y) = $got, expected $want"
  failures=$((failures + 1))
}
black=0,0,0 red=255,0,0 blue=0,0,255

"$bin" "$work/red.jpg" "$work/blue.jpg" >"$work/app.log" 2>&1 &
app_pid=$!

# Two pictures are shown in alphabetical order: blue.jpg, fitted to the width and centred.
expect "blue picture fitted to the width" 512 384 $blue
expect "blue picture reaches the left edge" 2 384 $blue
expect "black above the fitted picture" 512 100 $black
expect "black below the fitted picture" 512 660 $black


key() { xdotool key --clearmodifiers "$1"; }

# F3 pages forward: red.jpg at its natural size, centred.
key F3
expect "red picture centred at natural size" 120 90 $red
expect "black left of the centred picture" 100 300 $black
expect "black above the centred picture" 512 70 $black
# F3 again wraps around to the first picture, F2 back to the last.
key F3
expect "F3 after the last picture wraps to the first" 512 140 $blue
key F2
expect "F2 before the first picture wraps to the last" 120 90 $red
expect "black beside the red picture again" 100 300 $black
# F4 doubles the picture (1600x1200, centred): it now covers the whole screen.
key F4
expect "F4 doubles the picture over the whole screen" 5 5 $red
# F1 halves it again.
key F1
expect "F1 halves it back" 100 300 $black
expect "F1 halves it back (inside)" 120 90 $red
# A drag of 100 pixels right and 50 down moves the picture by that much.
xdotool mousemove 500 400 mousedown 1
xdotool mousemove 550 425
xdotool mousemove 600 450 mouseup 1
expect "dragged picture has left its old place" 150 110 $black
expect "dragged picture is at its new place" 220 140 $red

kill "$app_pid" 2>/dev/null || true
wait "$app_pid" 2>/dev/null || true
app_pid=""
# The drop container: a second program drags both pictures onto it (XDND), then Start.
if [ -n "$dragsource" ]; then
  "$bin" >"$work/app2.log" 2>&1 &
  app_pid=$!
  win=""
  for _ in $(seq 100); do
    win=$(xdotool search --onlyvisible --name "^TESSRIN Fotolauf$" 2>/dev/null | head -n 1) && [ -n "$win" ] && break
    sleep 0.1
  done
  settle "$win"
  geometry "$win"  # X, Y, WIDTH, HEIGHT
  # The container's list shows its first entry once the files are in.
  list_x=$((X + 20)) list_y=$((Y + 63))
  list_filled() { ! near "$(pixel $list_x $list_y)" 255,255,255; }
  drop_files "$dragsource" $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) list_filled "$work/red.jpg" "$work/blue.jpg" ||
    { echo "FAIL the dropped files did not arrive"; failures=$((failures + 1)); }
  # The Start button sits at the window's bottom right corner.
  xdotool mousemove $((X + WIDTH - 100)) $((Y + HEIGHT - 17)) click 1
  expect "after the drop and Start: the first picture (blue, sorted) is shown" 512 384 $blue
  expect "... fitted to the width" 512 100 $black
  key F3
  expect "and the second dropped picture follows" 120 90 $red
  kill "$app_pid" 2>/dev/null || true
  wait "$app_pid" 2>/dev/null || true
  app_pid=""
fi

if [ "$failures" -ne 0 ]; then
  echo "--- program output"; cat "$work/app.log" "$work/app2.log" 2>/dev/null
  exit 1
fi
echo "end-to-end checks passed"
