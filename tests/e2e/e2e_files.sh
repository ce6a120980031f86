#!/usr/bin/env bash
# The roads in as a Linux user walks them, with the real program on a virtual screen, started from
# a shell in a temporary folder: relative names, letter case, names that are not UTF-8, quotes in
# names, trash and copy beside case-variant neighbours (contents checked afterwards), and hostile
# slide-list files (a FIFO, a link to /dev/zero, a NUL in a line, a line of a megabyte).
set -euo pipefail
bin=$(realpath "$1")
source "$(dirname "$0")/bildschirm.sh"
# A new account: no ~/.local/share yet, so the trash must be made; the real trash is never touched.
mkdir -p "$work/home"
export HOME="$work/home" XDG_CONFIG_HOME="$work/config"
unset XDG_DATA_HOME

failures=0
ok() { echo "ok   $1"; }
fail() { echo "FAIL $1"; failures=$((failures + 1)); }
toleranz=40  # JPEG colours of flat pictures
# shows "what" "r,g,b": waits up to 20 s for the middle of the screen to have that colour.
shows() {
  local got=""
  for _ in $(seq 100); do
    got=$(pixel 512 384)
    near "$got" "$2" && { ok "$1 ($got)"; return 0; }
    sleep 0.2
  done
  fail "$1: the screen shows $got, expected $2"
}
key() { xdotool key --clearmodifiers "$@"; }
# start FOLDER ARGS...: the program started from a shell in FOLDER.
start() {
  local folder=$1
  shift
  (cd "$folder" && exec "$bin" "$@") >>"$work/app.log" 2>&1 &
  app_pid=$!
  started=$(date +%s%N)
}
seconds_since_start() { echo $((($(date +%s%N) - started) / 1000000)) | sed 's/...$/.&/'; }
# window NAME-REGEX SECONDS [MAX-WIDTH] -> the window id, or "" after that many seconds.
window() {
  local w="" id
  for _ in $(seq $(($2 * 10))); do
    for id in $(xdotool search --onlyvisible --name "$1" 2>/dev/null); do
      geometry "$id" || continue
      [ "$WIDTH" -lt "${3:-100000}" ] && { w=$id; break 2; }
    done
    sleep 0.1
  done
  echo "$w"
}
# A message box carries the program's title like the full-screen window; it is the narrower one.
message_box() { window "^TESSRIN Fotolauf$" "$1" 1024; }
chooser() { window "^(Find Directory|Verzeichnis suchen)$" "$1"; }
# choose_folder DIR: types DIR into the folder chooser and takes it; typing that came before the
# chooser had the keyboard is typed again.
choose_folder() {
  local w
  w=$(chooser 20)
  [ -n "$w" ] || { fail "the folder chooser did not come"; return 0; }
  for _ in 1 2 3; do
    xdotool windowfocus --sync "$w" 2>/dev/null || true
    sleep 0.3
    key ctrl+a
    xdotool type --delay 10 "$1"
    sleep 0.5
    # The first Return may only take the completion the dialog offers.
    for _ in 1 2 3; do
      key Return
      sleep 1
      [ -n "$(chooser 1)" ] || return 0
    done
  done
  fail "the folder chooser stayed open"
}
# ends "what" SECONDS: the program must have ended within that time.
ends() {
  for _ in $(seq $(($2 * 10))); do
    if ! kill -0 "$app_pid" 2>/dev/null; then
      wait "$app_pid" 2>/dev/null || true
      app_pid=""
      ok "$1"
      return 0
    fi
    sleep 0.1
  done
  fail "$1: still running after $2 s"
  kill "$app_pid" 2>/dev/null || true
  wait "$app_pid" 2>/dev/null || true
  app_pid=""
}
quit() {
  key alt+F4
  ends "$1: Alt+F4 ends the program" 5
}
# The question after a start with one picture: "ohne Unterordner" (left) or "mit Unterordnern".
answer() {
  local w
  w=$(window "^TESSRIN-Fotolauf$" 30)
  [ -n "$w" ] || { fail "the folder question did not come"; return 0; }
  if [ "$1" = ohne ]; then xdotool mousemove --window "$w" 76 124 click 1; else xdotool mousemove --window "$w" 300 124 click 1; fi
}
# The message box: waits for it (its id in $box), reports the time from the start.
message() {
  box=$(message_box "$2")
  if [ -n "$box" ]; then ok "$1: a message after $(seconds_since_start) s"; else fail "$1: no message within $2 s"; fi
}
# The list window (F5), its id in $liste: its title comes before it takes clicks on a busy
# machine, so a moment more.
list_window() { liste=$(window "^Dateiname des angezeigten Bildes" 10); sleep 1.5; }
# The list window's rows start at y=48 of its client area, 14 pixels apart; their tick boxes at
# x=11. A click lost on a busy machine is given again once the box shows no tick after a few seconds.
box_ticked() {
  geometry "$liste"
  import -silent -window root "$work/shot.png"
  [ "$(convert "$work/shot.png" -crop 9x9+$((X + 7))+$((Y + 44 + 14 * $1)) -colorspace gray -format "%[fx:mean<0.85]" info:)" = 1 ]
}
tick() {
  local row
  for row in "$@"; do
    for _ in 1 2 3; do
      xdotool mousemove --window "$liste" 11 $((48 + 14 * row)) click 1
      for _ in $(seq 10); do box_ticked "$row" && continue 3; sleep 0.3; done
    done
    fail "row $row took no tick"
  done
}
# The action menu: a small window of the program beside the list window.
action_menu() {
  local id
  for id in $(xdotool search --onlyvisible --classname "^fotolauf$" 2>/dev/null); do
    [ "$id" = "$liste" ] && continue
    geometry "$id" || continue
    [ "$WIDTH" -lt 600 ] && [ "$HEIGHT" -lt 400 ] && { echo "$id"; return 0; }
  done
}
# Chooses action N (1..6) from the list window's action button; a Down before the menu is open
# would go to the picture instead.
action() {
  local menu=""
  for _ in 1 2 3; do
    xdotool mousemove --window "$liste" 284 20 click 1
    for _ in $(seq 50); do
      menu=$(action_menu)
      [ -n "$menu" ] && break 2
      sleep 0.1
    done
  done
  [ -n "$menu" ] || { fail "the action menu did not open"; return 0; }
  for _ in $(seq "$1"); do key Down; done
  key Return
}
red=255,0,0 blue=0,0,255 green=0,255,0 yellow=255,255,0 black=0,0,0

# --- 1 and 2: relative names and letter case ------------------------------------------------------
mkdir -p "$work/Bilder/Sub"
convert -size 800x600 xc:red "$work/Bilder/Foto.jpg"
convert -size 800x600 xc:blue "$work/Bilder/foto.jpg"
convert -size 800x600 xc:lime "$work/Bilder/Sub/c.jpg"
convert -size 800x600 xc:yellow "$work/x.jpg"

start "$work/Bilder" Foto.jpg
answer mit
shows "started in Bilder/ with Foto.jpg beside foto.jpg: Foto.jpg (red) is shown" $red
key F3
shows "F3: foto.jpg (blue)" $blue
key F3
shows "F3: Sub/c.jpg found by the walk (green)" $green
quit "letter case"

start "$work/Bilder/Sub" ../foto.jpg
answer ohne
shows "started in Bilder/Sub with ../foto.jpg: foto.jpg (blue)" $blue
key F2
shows "F2: Foto.jpg of the same folder (red)" $red
quit "../ name"

start "$work/Bilder" ./Foto.jpg ../x.jpg
shows "two relative names: ./Foto.jpg first (red)" $red
key F3
shows "F3: ../x.jpg (yellow)" $yellow
quit "two relative names"

# --- 3: a name in Windows-1252 --------------------------------------------------------------------
mkdir -p "$work/Alt/Sub"
convert -size 800x600 xc:red "$work/Alt/a.jpg"
convert -size 800x600 xc:lime "$work/Alt/$(printf 'K\xe4se.jpg')"
convert -size 800x600 xc:blue "$work/Alt/Sub/$(printf '\xe9t\xe9.jpg')"
start "$work/Alt" a.jpg
answer ohne
shows "folder with K\\xe4se.jpg: a.jpg first (red)" $red
key F3
shows "F3: K\\xe4se.jpg found by the folder scan (green)" $green
quit "Windows-1252, without sub-folders"
start "$work/Alt" a.jpg
answer mit
shows "with sub-folders: a.jpg first (red)" $red
key F3 F3
shows "F3 F3: Sub/\\xe9t\\xe9.jpg found by the walk (blue)" $blue
quit "Windows-1252, with sub-folders"
start "$work/Alt" "$(printf 'K\xe4se.jpg')"
answer ohne
shows "K\\xe4se.jpg named on the command line (green)" $green
quit "Windows-1252 on the command line"

# --- 4: a double quote and a blank in one name ----------------------------------------------------
mkdir -p "$work/Q"
convert -size 800x600 xc:red "$work/Q/mein \"bestes\" Bild.jpg"
convert -size 800x600 xc:blue "$work/Q/b.jpg"
start "$work/Q" 'mein "bestes" Bild.jpg' b.jpg
shows "b.jpg first (blue)" $blue
key F3
shows "F3: mein \"bestes\" Bild.jpg (red)" $red
[ -z "$(message_box 1)" ] && ok "no message about the quoted name" || fail "a message about the quoted name"
quit "quote and blank"

# --- 5: copy and trash beside case-variant neighbours ---------------------------------------------
mkdir -p "$work/Dup" "$work/Ziel"
convert -size 800x600 xc:red "$work/Dup/a.jpg"
printf 'unlisted A' >"$work/Dup/A.jpg"
convert -size 800x600 xc:yellow "$work/Dup/Gelb.JPG"
convert -size 800x600 xc:blue "$work/Dup/b.jpg"
cp -p "$work/Dup/a.jpg" "$work/a.orig"
cp -p "$work/Dup/Gelb.JPG" "$work/Gelb.orig"
start "$work/Dup" a.jpg Gelb.JPG b.jpg
shows "a.jpg first (red)" $red
key F5
list_window
tick 0 2                  # a.jpg and gelb.jpg (the list is lower-cased); b.jpg stays unticked
action 6                  # copy
choose_folder "$work/Ziel/"
for _ in $(seq 25); do [ "$(ls "$work/Ziel" | wc -l)" -ge 2 ] && break; sleep 0.2; done
[ "$(cd "$work/Ziel" && ls | sort | tr '\n' ' ')" = "Gelb.JPG a.jpg " ] && ok "copy: Ziel holds Gelb.JPG and a.jpg, by their real names" ||
  fail "copy: Ziel holds $(ls "$work/Ziel" | tr '\n' ' ')"
cmp -s "$work/Ziel/a.jpg" "$work/a.orig" && cmp -s "$work/Ziel/Gelb.JPG" "$work/Gelb.orig" && ok "copy: contents equal" ||
  fail "copy: contents differ"
key F5
list_window
action 5                  # trash, the ticks are kept
message "trash question" 10
key Return
sleep 2
trash="$work/home/.local/share/Trash"
[ "$(cd "$trash/files" 2>/dev/null && ls | sort | tr '\n' ' ')" = "Gelb.JPG a.jpg " ] && ok "trash: exactly the ticked files" ||
  fail "trash: $(ls "$trash/files" 2>/dev/null | tr '\n' ' ')"
cmp -s "$trash/files/a.jpg" "$work/a.orig" && cmp -s "$trash/files/Gelb.JPG" "$work/Gelb.orig" && ok "trash: contents intact" ||
  fail "trash: contents differ"
[ "$(cat "$work/Dup/A.jpg")" = "unlisted A" ] && [ -f "$work/Dup/b.jpg" ] && ok "the unlisted A.jpg and the unticked b.jpg stay" ||
  fail "a file that was not ticked has gone"
[ "$(stat -c %a "$trash" "$trash/files" "$trash/info" "$work/home/.local/share" | tr '\n' ' ')" = "700 700 700 700 " ] &&
  ok "the new account's trash was made private" || fail "trash modes: $(stat -c '%a %n' "$trash" "$trash/files" "$trash/info")"
grep -q "^Path=$work/Dup/Gelb.JPG$" "$trash/info/Gelb.JPG.trashinfo" && ok "trash info names the original place" ||
  fail "trash info: $(cat "$trash/info/Gelb.JPG.trashinfo" 2>/dev/null)"
quit "file actions"

# --- 16: hostile slide-list files ------------------------------------------------------------------
mkdir -p "$work/H"
convert -size 800x600 xc:red "$work/H/rot.jpg"
mkfifo "$work/H/fifo.flf"
ln -s /dev/zero "$work/H/zero.flf"
printf '%s\r\n%s\0%s\r\n' "$work/H/rot.jpg" "$work/H/rot.jpg" "$work/x.jpg" >"$work/H/nul.flf"
{ printf '/'; head -c 1048576 /dev/zero | tr '\0' 'x'; printf '.jpg\r\n%s\r\n' "$work/H/rot.jpg"; } >"$work/H/lang.flf"

start "$work/H" fifo.flf
message "a FIFO as slide-list file" 10
key Escape                # what Alt+F4 does to a message box under a window manager
ends "a FIFO as slide-list file: the program ends after its message" 5
start "$work/H" zero.flf
message "a link to /dev/zero as slide-list file" 10
key Return
ends "/dev/zero: the program ends after its message" 5
start "$work/H" nul.flf
message "a NUL in a slide-list line" 10
key Return
ends "NUL line: the program ends after the faulty-line message" 5
start "$work/H" lang.flf
message "a line of a megabyte" 10
if [ -n "$box" ]; then
  geometry "$box"
  [ "$WIDTH" -le 1024 ] && ok "the message box fits the screen (${WIDTH} px wide)" || fail "message box ${WIDTH} px wide"
fi
key Return
key F3
shows "F3 after the megabyte line: the next picture (red)" $red
quit "megabyte line"

# --- a long decode: Alt+F4 ends the program at once ------------------------------------------------
# A progressive picture of 64 megapixels takes seconds to decode in this build; the key for it comes
# as soon as the first picture shows, Alt+F4 a moment later.
convert -size 8000x8000 gradient:red-blue -interlace Plane "$work/H/z-gross.jpg"
start "$work/H" rot.jpg z-gross.jpg
shows "a long decode ahead: rot.jpg first (red)" $red
key F3
sleep 0.3
key alt+F4
ends "Alt+F4 during the decode of 64 megapixels ends the program within a second" 1

if [ "$failures" -ne 0 ]; then
  echo "--- program output"; tail -c 4000 "$work/app.log"
  exit 1
fi
echo "end-to-end checks of names, file actions and hostile slide lists passed"
