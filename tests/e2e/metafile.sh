#!/usr/bin/env bash
# A metafile that takes as long to draw as a drawing may (page-sized blits, far more than its
# budget has room for), on a virtual 1024x768 screen: the viewer started on it is up at once and
# ends with Alt+F4 within a second while the drawing runs, also while it draws the picture anew
# for a zoom, and a picture key goes on to the next picture without waiting for the drawing.
set -euo pipefail
bin=$1
source "$(dirname "$0")/bildschirm.sh"

# The escapes printf turns into the little-endian bytes of each 32-bit word.
words() {
  local w
  for w; do
    printf '\\x%02x\\x%02x\\x%02x\\x%02x' $((w & 255)) $((w >> 8 & 255)) $((w >> 16 & 255)) $((w >> 24 & 255))
  done
}
# An EMF of 1024 x 758 reference pixels: `blits` blits over all of it that invert what is drawn,
# each a pass over its pixels, far more than a drawing has room for.
blits=2000
emf="$work/invert.emf"
{
  printf "$(words 1 88 0 0 1023 757 0 0 27000 20000 0x464D4520 0x10000 $((88 + blits * 100 + 20)) $((blits + 2)) 1 0 0 0 1024 768 270 200)"
  # EMR_BITBLT without a source, DSTINVERT, the identity as the source's transform.
  blit=$(words 76 100 0 0 1023 757 0 0 1024 758 0x00550009 0 0 0x3F800000 0 0 0x3F800000 0 0 0 0 0 0 0 0)
  for ((i = 0; i < blits; i++)); do printf "$blit"; done
  printf "$(words 14 20 0 16 20)"
} >"$emf"
convert -size 800x600 xc:red "$work/red.jpg"
# Slide-list files: the pictures in this order, and no question about the rest of the folder.
printf '%s\n' "$emf" >"$work/emf.flf"
printf '%s\n' "$emf" "$work/red.jpg" >"$work/emf-red.flf"

failures=0
ok() { echo "ok   $1"; }
fail() { echo "FAIL $1"; failures=$((failures + 1)); }
now() { date +%s%3N; }
state() { sed 's/.*) //' "$1/stat" 2>/dev/null | cut -d' ' -f1; }
# Gone, a zombie, or being reaped. One look only: a zombie reaped between two looks (kill -0, then its
# stat) would read as neither gone nor a zombie.
ended() {
  local s
  s=$(state "/proc/$app_pid")
  [ -z "$s" ] || [ "$s" = Z ] || [ "$s" = X ]
}
# A thread besides the GUI thread is at work: the drawing runs.
drawing() {
  local t
  for t in /proc/"$app_pid"/task/*; do
    [ "$t" = "/proc/$app_pid/task/$app_pid" ] && continue
    [ "$(state "$t")" = R ] && return 0
  done
  return 1
}
# waitfor SECONDS cmd...: polls the condition every 50 ms.
waitfor() {
  local end=$(($(now) + $1 * 1000))
  shift
  until "$@"; do [ "$(now)" -lt "$end" ] || return 1; sleep 0.05; done
}
# No thread at work for half a second: the drawing is over.
idle() {
  local i
  for i in 1 2 3 4 5; do
    drawing && return 1
    sleep 0.1
  done
  return 0
}
window_up() { xdotool search --onlyvisible --classname fotolauf >/dev/null 2>&1; }
key() { xdotool key --clearmodifiers "$1"; }
start() {
  "$bin" "$1" >"$work/app.log" 2>&1 &
  app_pid=$!
}
stop() {
  kill "$app_pid" 2>/dev/null || true
  wait "$app_pid" 2>/dev/null || true
  app_pid=""
}
# altf4 "what": Alt+F4 while the drawing runs; the program must be gone within a second.
altf4() {
  if ! waitfor 60 drawing; then
    fail "$1: the drawing was not seen at work"
    return
  fi
  local t0
  t0=$(now)
  key alt+F4
  waitfor 10 ended || true
  local dt=$(($(now) - t0))
  if ended && [ "$dt" -le 1000 ]; then ok "$1: gone ${dt} ms after Alt+F4"; else fail "$1: still there ${dt} ms after Alt+F4 [pid=$app_pid state=$(state /proc/$app_pid) $(cat /proc/$app_pid/stat 2>&1 | cut -c1-60) tasks=$(ls /proc/$app_pid/task 2>&1 | tr '\n' ' ')]"; fi
}

# The first picture: the window comes up while it is drawn.
start "$work/emf.flf"
if waitfor 30 window_up; then ok "the picture window is up while the first drawing runs"; else fail "no picture window"; fi
altf4 "during the first drawing"
stop

# Drawn anew for a zoom: F4 once the first drawing is done (which also tells how long it takes).
start "$work/emf.flf"
t0=$(now)
waitfor 30 window_up || fail "no picture window for the zoom"
ganz=0
if waitfor 300 idle; then
  ganz=$(($(now) - t0))
  key F4
  altf4 "during the drawing for the zoom"
else
  fail "the first drawing did not end"
fi
stop

# A picture key during the drawing: it stops between two of its records, and the next picture
# (red) is on the screen long before the drawing would have ended.
start "$work/emf-red.flf"
waitfor 30 window_up || fail "no picture window before F3"
waitfor 60 drawing || fail "the drawing was not seen at work before F3"
t0=$(now)
key F3
red() { near "$(pixel 512 384)" 255,0,0; }
if waitfor $((ganz / 1000 + 1)) red && [ $(($(now) - t0)) -lt $((ganz / 2)) ]; then
  ok "F3 during the drawing: the next picture after $(($(now) - t0)) ms (the whole drawing takes $ganz ms)"
else
  fail "F3 during the drawing: no red picture after $(($(now) - t0)) ms (the whole drawing takes $ganz ms)"
fi
stop

[ "$failures" -eq 0 ]
