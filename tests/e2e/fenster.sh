#!/usr/bin/env bash
# The viewer's windows as a user meets them, on a virtual 1024x768 screen: the key help closed by a
# symbol key, the magnifier for odd selection widths, a one-pixel checkerboard as sharp in a
# restored zoomed section and in the zoom window at brightness 60 as at 80, and the resizable
# picture window's frame read back from the X server: on the screen at once, title bar included.
set -euo pipefail
bin=$1
dragsource=$2
source "$(dirname "$0")/bildschirm.sh"

# 2048x1536 mid-grey with a one-pixel checkerboard at 600,450 (128x128), as a 24-bit BMP; a red JPEG.
convert -size 2048x1536 xc:gray50 \( -size 128x128 pattern:gray50 \) -geometry +600+450 -composite \
  -type TrueColor BMP3:"$work/checker.bmp"
convert -size 800x600 xc:red "$work/red.jpg"
mkdir "$work/pics"
cp "$work/checker.bmp" "$work/red.jpg" "$work/pics/"

failures=0
ok() { echo "ok   $1"; }
fail() { echo "FAIL $1"; failures=$((failures + 1)); }
shot() {  # with FENSTER_SHOTS=folder every screenshot is kept there for a look
  import -silent -window root "$work/shot.png"
  if [ -n "${FENSTER_SHOTS:-}" ]; then cp "$work/shot.png" "$(mktemp -p "$FENSTER_SHOTS" shot-XXXX.png)"; fi
}
# Standard deviation (0..1) and mean (0..255) of a screen area WxH+X+Y.
spread() { shot; convert "$work/shot.png" -crop "$1" -colorspace Gray -format "%[fx:standard_deviation]" info:; }
mean() { shot; convert "$work/shot.png" -crop "$1" -colorspace Gray -format "%[fx:int(255*mean+0.5)]" info:; }
visible() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
# waitfor "what" cmd...: up to 10 s for a condition.
waitfor() {
  local what=$1
  shift
  for _ in $(seq 50); do "$@" && { ok "$what"; return 0; }; sleep 0.2; done
  fail "$what"
  return 1
}
gone() { ! visible "$1"; }
key() { xdotool key --clearmodifiers "$1"; }
# The level's gain on a byte, as the brightness table gives it.
gain() { awk -v s="$1" -v v="$2" 'BEGIN { r = v * exp(s / 50) / 5; r = int(r + 0.5); if (r > 255) r = 255; print r }'; }
ge() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a >= b) }'; }

# One picture: its folder is searched, with sub-folders (a new working list keeps zoomed sections).
"$bin" "$work/pics/checker.bmp" >"$work/app.log" 2>&1 &
app_pid=$!
for _ in $(seq 100); do
  question=$(xdotool search --onlyvisible --name "^TESSRIN-Fotolauf$" 2>/dev/null | head -n 1 || true)
  [ -n "$question" ] && break
  sleep 0.1
done
settle "$question"
geometry "$question"
sleep 0.5
xdotool mousemove $((X + 300)) $((Y + 124)) click 1   # "mit Unterordnern"
for _ in $(seq 100); do
  picwin=$( (xdotool search --onlyvisible --classname fotolauf 2>/dev/null || true) | while read -r w; do
    geometry "$w"
    if [ "$WIDTH" = 1024 ] && [ "$HEIGHT" = 768 ]; then echo "$w"; fi
  done | head -n 1)
  [ -n "$picwin" ] && break
  sleep 0.1
done
[ -n "$picwin" ] || { echo "FAIL the picture window did not appear"; exit 1; }
sleep 1
back() { xdotool windowfocus "$picwin"; sleep 0.3; }
settings() {  # opens the settings window and sets S_X, S_Y to its top left
  key F10
  local w=""
  for _ in $(seq 50); do
    w=$(xdotool search --onlyvisible --name "^Einstellungen$" 2>/dev/null | head -n 1 || true)
    [ -n "$w" ] && break
    sleep 0.2
  done
  settle "$w"
  geometry "$w"
  S_X=$X S_Y=$Y
  sleep 0.5
}
click() { xdotool mousemove "$1" "$2" click 1; sleep 0.5; }

# Every key counts: a right click opens the key help, '[' (a key without a code of its own) closes it.
xdotool mousemove 900 700 click 3
waitfor "right click opens the key help" visible "^Hilfe zu den Bedien-Tasten$"
key bracketleft
waitfor "'[' closes the key help" gone "^Hilfe zu den Bedien-Tasten$"

# Keep the zoomed section, zoom the checkerboard picture to its own size, page away and back.
settings
click $((S_X + 20)) $((S_Y + 568))   # "Beim Bildwechsel ... beibehalten"
click $((S_X + 40)) $((S_Y + 332))   # "Schwarz", which closes the window
back
key F4
sleep 1
key F3
sleep 1
key F2
sleep 2
# Shown 1:1 at -512,-384: the checkerboard lies at 88..215, 66..193.
checker_area=100x100+100+80
r80=$(spread $checker_area)
echo "     restored section at 80: spread $r80"
ge "$r80" 0.4 && ok "restored section at brightness 80 shows the checkerboard" || fail "restored section at 80 is blurred ($r80)"

# Brightness 60: two page steps on the bar's trough, each applied when clicked.
for _ in 1 2; do
  settings
  click $((S_X + 292)) $((S_Y + 480))
  sleep 1
done
sleep 1
grey=$(mean 100x50+300+400)
want=$(gain 60 127)
[ "$grey" -ge $((want - 3)) ] && [ "$grey" -le $((want + 3)) ] && ok "brightness 60 applied (grey $grey)" || fail "brightness not 60 (grey $grey, want $want)"
r60=$(spread $checker_area)
echo "     restored section at 60: spread $r60"
ge "$r60" "$(awk -v s="$r80" -v w="$(gain 60 255)" 'BEGIN { print 0.9 * s * w / 253 }')" &&
  ok "restored section at brightness 60 as sharp as at 80" || fail "restored section at 60 is blurred ($r60 against $r80)"

# The zoom window: keep-section off, the fitted picture, a 512-px selection shows the file 1:1.
settings
click $((S_X + 20)) $((S_Y + 568))
click $((S_X + 40)) $((S_Y + 332))
back
key F3
sleep 1
key F2
sleep 2
zoom_select() {  # zoom_select X Y WIDTH: a selection drawn with the armed magnifier
  xdotool mousemove "$1" "$2" mousedown 1
  xdotool mousemove $(($1 + $3 / 2)) $(($2 + 3))
  xdotool mousemove $(($1 + $3)) $(($2 + 6)) mouseup 1
}
key ctrl+z
zoom_select 280 200 512
waitfor "zoom window opens at brightness 60" visible "^Zoom$"
sleep 1
# The zoom starts at -560,-400: the checkerboard at 40..167, 50..177.
z60=$(spread 100x100+50+60)
key Escape
waitfor "any key closes the zoom window" gone "^Zoom$"
settings
click $((S_X + 296)) $((S_Y + 520))   # "zurücksetzen Standardwert"
sleep 2
back
zoom_select 280 200 512
waitfor "zoom window opens at brightness 80" visible "^Zoom$"
sleep 1
z80=$(spread 100x100+50+60)
key Escape
waitfor "zoom window closed" gone "^Zoom$"
echo "     zoom window: spread $z80 at 80, $z60 at 60"
ge "$z80" 0.4 && ok "zoom window at 80 shows the checkerboard" || fail "zoom window at 80 is blurred ($z80)"
ge "$z60" "$(awk -v s="$z80" -v w="$(gain 60 255)" 'BEGIN { print 0.9 * s * w / 253 }')" &&
  ok "zoom window at brightness 60 as sharp as at 80" || fail "zoom window at 60 is blurred ($z60 against $z80)"

# The magnifier for odd selection widths.
for width in 33 101 137 263 419 777; do
  zoom_select 100 100 "$width"
  waitfor "magnifier opens for a selection $width px wide" visible "^Zoom$" || continue
  key Escape
  waitfor "... and closes" gone "^Zoom$"
done

kill "$app_pid" 2>/dev/null || true
wait "$app_pid" 2>/dev/null || true
app_pid=""

# The resizable window: ticked in the drop container, filled by a drag of two pictures, started;
# the window's place and size are read back from the X server.
"$bin" >"$work/app2.log" 2>&1 &
app_pid=$!
win=""
for _ in $(seq 100); do
  win=$(xdotool search --onlyvisible --name "^TESSRIN Fotolauf$" 2>/dev/null | head -n 1 || true)
  [ -n "$win" ] && break
  sleep 0.1
done
settle "$win"
geometry "$win"
sleep 0.5
click $((X + WIDTH / 2 + 12)) $((Y + HEIGHT - 48))   # "Fenstergröße änderbar"
# The container's list shows its first entry once the files are in.
list_x=$((X + 20)) list_y=$((Y + 63))
list_filled() { ! near "$(pixel $list_x $list_y)" 255,255,255; }
drop_files "$dragsource" $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) list_filled "$work/red.jpg" "$work/checker.bmp" ||
  fail "the dropped files did not arrive"
click $((X + WIDTH - 100)) $((Y + HEIGHT - 17))   # Start
# The frame, title bar included: the client's place and size from the X server, widened by the
# frame extents the window manager put on the window.
frame() {
  local w info extents
  w=$(xdotool search --onlyvisible --name "^TESSRIN Fotolauf$" 2>/dev/null | head -n 1)
  [ -n "$w" ] || return 1
  info=$(xwininfo -id "$w") || return 1
  extents=$(xprop -id "$w" _NET_FRAME_EXTENTS | sed -n 's/.*= //p' | tr -d ' ')
  [ -n "$extents" ] || return 1
  awk -v e="$extents" '
    /Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
    /Width:/ { w = $NF } /Height:/ { h = $NF }
    END { split(e, f, ","); printf "%dx%d+%d+%d\n", w + f[1] + f[2], h + f[3] + f[4], x - f[1], y - f[3] }' <<<"$info"
}
geometry=""
frame_is_placed() { geometry=$(frame) && [ "$geometry" = "512x768+0+0" ]; }
if until_true 15 frame_is_placed; then
  ok "resizable picture window: its frame, title bar included, at 0,0, 512x768 (X server: $geometry)"
else
  fail "resizable picture window: frame $geometry, expected 512x768+0+0"
fi
kill "$app_pid" 2>/dev/null || true
wait "$app_pid" 2>/dev/null || true
app_pid=""

if [ "$failures" -ne 0 ]; then
  echo "--- program output"; cat "$work/app.log" "$work/app2.log" 2>/dev/null
  exit 1
fi
echo "window checks passed"
