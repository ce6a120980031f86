#!/usr/bin/env bash
# A HiDPI screen: 3840x2160 at the toolkit's scale factor 2. A picture at its natural size is drawn
# with one device pixel per picture pixel: its one-pixel checkerboard keeps only black and white,
# and F4 doubles every pixel into a square of four.
set -euo pipefail
bin=$1
bildschirm=3840x2160
source "$(dirname "$0")/bildschirm.sh"
export QT_SCALE_FACTOR=2

# A 256x192 one-pixel checkerboard, and a black picture to start from.
convert -size 256x192 pattern:gray50 -type TrueColor BMP3:"$work/a-schach.bmp"
convert -size 256x192 xc:black -type TrueColor BMP3:"$work/b-schwarz.bmp"

failures=0
ok() { echo "ok   $1"; }
fail() { echo "FAIL $1"; failures=$((failures + 1)); }
key() { xdotool key --clearmodifiers "$@"; }
# colours WxH+X+Y: the distinct colours of a screen area, one per line.
colours() {
  import -silent -window root "$work/shot.png"
  convert "$work/shot.png" -crop "$1" +repage -unique-colors -depth 8 txt:- | awk 'NR > 1 { print $3 }'
}
# Black and white only, both present, and each as often as the other.
checkerboard() {
  [ "$(colours "$1" | sort | tr '\n' ' ')" = "#000000 #FFFFFF " ] &&
    [ "$(convert "$work/shot.png" -crop "$1" +repage -format "%[fx:int(1000*mean+0.5)]" info:)" = 500 ]
}
# Pixels that are neither black nor white in an area (of the last screenshot).
grey_pixels() {
  convert "$work/shot.png" -crop "$1" +repage -colorspace gray -fx "u > 0.01 && u < 0.99" -format "%[fx:int(w*h*mean+0.5)]" info:
}

"$bin" "$work/a-schach.bmp" "$work/b-schwarz.bmp" >"$work/app.log" 2>&1 &
app_pid=$!
# Natural size in device pixels, centred on the 3840x2160 screen: 1792..2047, 984..1175.
area=256x192+1792+984
if until_true 30 checkerboard $area; then
  ok "natural size: a one-pixel checkerboard of black and white only, in 256x192 device pixels"
else
  fail "natural size: the checkerboard at $area has $(grey_pixels $area) grey pixels and colours $(colours $area | tr '\n' ' ')"
fi
checkerboard 2x2+1791+983 && fail "the picture is larger than its natural size" || ok "nothing of the picture beyond its natural size"

# F4: 512x384 device pixels, each picture pixel a 2x2 square.
key F4
area=512x384+1664+888
square() {  # the top left 4x4 of the zoomed picture: two squares of one colour in each row
  checkerboard $area && [ "$(convert "$work/shot.png" -crop 2x2+1664+888 +repage -unique-colors -format "%k" info:)" = 1 ]
}
if until_true 30 square; then
  ok "zoomed twice: even 2x2 squares of black and white"
else
  fail "zoomed twice: $(grey_pixels $area) grey pixels"
fi

# A photo started on this screen: its decode begins before the toolkit is up, at the screen's size
# as the X server tells it, which must be the size the toolkit then shows it at, so the start takes it.
kill "$app_pid"
wait "$app_pid" 2>/dev/null || true
convert -size 3000x2000 plasma:fractal -quality 90 "$work/a-foto.jpg"
FOTOLAUF_STARTZEITEN=1 "$bin" "$work/a-foto.jpg" "$work/b-schwarz.bmp" >"$work/foto.log" 2>&1 &
app_pid=$!
decoded() { grep -q "picture decoded" "$work/foto.log"; }
if until_true 30 decoded && grep -q "picture decoded (begun before the toolkit)" "$work/foto.log"; then
  ok "a photo's decode begun before the toolkit is the one shown"
else
  fail "the decode begun before the toolkit was not taken: $(grep "fotolauf start" "$work/foto.log" | tr '\n' '|')"
fi

if [ "$failures" -ne 0 ]; then
  echo "--- program output"; cat "$work/app.log"
  exit 1
fi
echo "HiDPI checks passed"
