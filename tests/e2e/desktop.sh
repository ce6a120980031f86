#!/usr/bin/env bash
# The viewer on a desktop: a window manager (openbox) and a panel along the bottom of the screen.
# Every window that opens over the full-screen picture (key help, picture list, position window,
# settings, zoom window, message box, folder chooser, file chooser) is seen above the picture on the
# screen, takes the keyboard where it should, and the panel stays covered by the picture meanwhile.
set -euo pipefail
bin=$1
source "$(dirname "$0")/bildschirm.sh"

# Red with a white square at 480,360 (for the zoom), blue; both as large as the screen.
convert -size 1024x768 xc:red -fill white -draw "rectangle 480,360 543,407" -type TrueColor BMP3:"$work/rot.bmp"
convert -size 1024x768 xc:blue -type TrueColor BMP3:"$work/blau.bmp"
printf '%s\r\n%s\r\n' "$work/rot.bmp" "$work/blau.bmp" >"$work/show.flf"

failures=0
ok() { echo "ok   $1"; }
fail() { echo "FAIL $1"; failures=$((failures + 1)); }
check() {  # check "what" cmd...: the condition must hold within 10 s
  if until_true 10 "${@:2}"; then ok "$1"; else fail "$1"; fi
}
key() { xdotool key --clearmodifiers "$@"; }
red=255,0,0 blue=0,0,255 white=255,255,255 green=0,255,0 grey=192,192,192
is() { near "$(pixel "$1" "$2")" "$3"; }
is_not() { ! near "$(pixel "$1" "$2")" "$3"; }
# The middle of a window (its client area, as the X server has it), shown on the screen.
middle() {
  geometry "$1"
  echo "$((X + WIDTH / 2)) $((Y + HEIGHT / 2))"
}
# over "what" WINDOW COLOUR: the window is seen on the screen where the picture of that colour
# would be, and the picture still covers the panel at the bottom of the screen.
over() {
  local at
  at=$(middle "$2")
  check "$1 shows above the picture" is_not $at "$3"
  check "$1: the panel stays below the picture" is 300 760 "$3"
}
has_keyboard() { [ "$(focused)" = "$1" ]; }
gone() { [ -z "$(xdotool search --onlyvisible --name "$1" 2>/dev/null)" ]; }
# opened "what" TITLE-REGEX COLOUR [keyboard]: the window comes (its id in $id, waited for up to
# ${wait_s:-10} s) above the picture of that colour, and takes the keyboard when so asked.
opened() {
  id=$(window_id "$2" "${wait_s:-10}")
  if [ -z "$id" ]; then fail "$1 did not open"; return 0; fi
  over "$1" "$id" "$3"
  [ "${4:-}" = keyboard ] && check "$1 has the keyboard" has_keyboard "$id"
  return 0
}

tint2 -c "$(dirname "$0")/tint2rc" >"$work/tint2.log" 2>&1 &
panel_pid=$!
trap 'kill $panel_pid 2>/dev/null || true; cleanup' EXIT
until_true 15 is 300 760 "$green" || { echo "the panel did not come"; exit 1; }

"$bin" "$work/rot.bmp" "$work/blau.bmp" >"$work/app.log" 2>&1 &
app_pid=$!
check "the picture fills the screen" is 100 100 $blue
check "the full-screen picture covers the panel" is 300 760 $blue
picture=$(focused)

# Key help: on top without taking the keyboard, which goes back to the picture after 100 ms; F3 then
# shows the next picture and closes the help.
xdotool mousemove 900 700 click 3
opened "key help" "^Hilfe zu den Bedien-Tasten$" $blue
check "the picture keeps the keyboard under the key help" has_keyboard "$picture"
key F3
check "F3 after the key help shows the next picture" is 100 100 $red
check "... and closes the key help" gone "^Hilfe zu den Bedien-Tasten$"

# Picture list (F5) with the keyboard; a right click in it opens the key help over both.
key F5
opened "picture list" "^Dateiname des angezeigten Bildes" $red keyboard
list=$id
xdotool mousemove --window "$list" 40 80 click 3
opened "key help over the list" "^Hilfe zu den Bedien-Tasten$" $red
help=$id
check "the picture takes the keyboard back after 100 ms" has_keyboard "$picture"
check "the list stays above the picture with the key help" is_not $(middle "$list") $red
check "... and so does the key help" is_not $(middle "$help") $red
key Escape
check "Escape closes the key help" gone "^Hilfe zu den Bedien-Tasten$"
check "... and the list" gone "^Dateiname des angezeigten Bildes"

# Position window (F11) with the keyboard; a key hides it.
key F11
opened "position window" "^Position des Mauszeigers$" $red keyboard
key bracketleft
check "a key hides the position window" gone "^Position des Mauszeigers$"

# Settings (F10) with the keyboard; "Schwarz" closes them.
key F10
opened "settings" "^Einstellungen$" $red keyboard
xdotool mousemove --window "$id" 40 332 click 1
check "Schwarz closes the settings" gone "^Einstellungen$"

# Zoom window: a marked section around the white square fills the screen.
check "the picture has the keyboard again" has_keyboard "$picture"
key ctrl+z
xdotool mousemove 470 350 mousedown 1
xdotool mousemove 520 380
xdotool mousemove 570 420 mouseup 1
zoom=$(window_id "^Zoom$")
[ -n "$zoom" ] && check "the zoom window shows above the picture" is 300 300 $white || fail "the zoom window did not open"
check "the zoom window has the keyboard" has_keyboard "$zoom"
key Escape
check "Escape closes the zoom window" gone "^Zoom$"

# A message box: a plain click with the armed magnifier.
check "the picture shows again" is 300 300 $red
xdotool mousemove 300 300 click 1
opened "message box" "^TESSRIN Fotolauf$" $red keyboard
key Return
check "Return closes the message box" gone "^TESSRIN Fotolauf$"
key ctrl+o

# Folder chooser of the copy action, over the list over the picture.
key F5
list=$(window_id "^Dateiname des angezeigten Bildes")
check "the picture list comes back" has_keyboard "$list"
geometry "$list"
LX=$X LY=$Y
ticked() {
  import -silent -window root "$work/shot.png"
  [ "$(convert "$work/shot.png" -crop 9x9+$((LX + 7))+$((LY + 44)) -colorspace gray -format "%[fx:mean<0.85]" info:)" = 1 ]
}
tick_first() { xdotool mousemove --window "$list" 11 48 click 1; until_true 3 ticked; }
until_true 10 tick_first || fail "the first picture took no tick"
xdotool mousemove --window "$list" 284 20 click 1
menu_open() { [ -n "$(xdotool search --onlyvisible --classname '^fotolauf$' 2>/dev/null | while read -r w; do
  [ "$w" != "$list" ] && [ "$w" != "$picture" ] && xdotool getwindowname "$w" 2>/dev/null | grep -qv . && echo "$w"; done)" ]; }
until_true 5 menu_open || true
for _ in 1 2 3 4 5 6; do key Down; done
key Return
wait_s=20 opened "folder chooser" "^(Find Directory|Verzeichnis suchen)$" $red keyboard
key Escape
check "Escape closes the folder chooser" gone "^(Find Directory|Verzeichnis suchen)$"
kill "$app_pid" 2>/dev/null || true
wait "$app_pid" 2>/dev/null || true
app_pid=""

# File chooser: started with a slide-list file, F8 asks for the next one over the grey picture window.
"$bin" "$work/show.flf" >>"$work/app.log" 2>&1 &
app_pid=$!
check "the slide list's first picture" is 100 100 $red
# On a busy machine the window manager hands the keyboard over a moment after the picture shows.
ours_focused() { xdotool search --onlyvisible --classname '^fotolauf$' 2>/dev/null | grep -qx "$(focused)"; }
check "the picture window has the keyboard" ours_focused
key F8
wait_s=20 opened "file chooser" "^Wählen Sie die Flf-Datei aus$" $grey keyboard
xdotool type --delay 20 "$work/show.flf"
key Return
check "the chosen slide list is shown" is 100 100 $red

if [ "$failures" -ne 0 ]; then
  echo "--- program output"; cat "$work/app.log"
  exit 1
fi
echo "desktop checks passed"
