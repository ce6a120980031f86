#!/usr/bin/env bash
# The installed program on a virtual screen with its own XDG folders: the file-type window makes
# it the desktop's default for the picture types (judged by xdg-mime and xdg-open), "all off"
# changes nothing, the user's other mimeapps.list lines stay, and Hilfe opens the help of the
# language in the CHM viewer or reports a missing help file.
set -euo pipefail
build=$1
source "$(dirname "$0")/bildschirm.sh"
pids=()
stop_others() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; }
trap 'stop_others; cleanup' EXIT

cmake --install "$build" --prefix "$work/prefix" >/dev/null
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_CONFIG_DIRS="$work/none"
export XDG_DATA_DIRS="$work/prefix/share:/usr/share" PATH="$work/prefix/bin:$PATH"
mkdir -p "$XDG_CONFIG_HOME"
# The user's JPEG viewer before: it copies the file it opens beside it.
mkdir -p "$XDG_DATA_HOME/applications"
printf '[Desktop Entry]\nType=Application\nName=Kopie\nExec=cp %%f %s/weitergereicht.jpeg\nMimeType=image/jpeg;\n' "$work" \
  >"$XDG_DATA_HOME/applications/kopie.desktop"
printf '# my own choices\n[Default Applications]\ntext/plain=gedit.desktop;\nimage/jpeg=kopie.desktop;\n\n[Added Associations]\nimage/png=eog.desktop;\n' \
  >"$XDG_CONFIG_HOME/mimeapps.list"

failures=0
check() {  # check "what" command...
  local what=$1
  shift
  if "$@" >/dev/null; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}

# In a terminal, without a screen: --help and --version answer and end with 0.
answers() { out=$(DISPLAY= WAYLAND_DISPLAY= timeout 20 fotolauf "$1") && grep -q "$2" <<<"$out"; }
check "fotolauf --help prints its usage" answers --help "^Usage: fotolauf"
check "fotolauf --version prints the version" answers --version "^TESSRIN Fotolauf [0-9]"
window() {  # window "exact title" [id to pass over]: waits up to 15 s, prints the window id
  for _ in $(seq 75); do
    local w
    w=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | grep -vx "${2:-none}" | head -n1) || true
    [ -n "$w" ] && { settle "$w"; echo "$w"; return 0; }
    sleep 0.2
  done
  echo "no window \"$1\" among:" >&2
  for w in $(xdotool search --onlyvisible --name . 2>/dev/null); do xdotool getwindowname "$w" >&2; done
  return 1
}
click_in() {  # click_in window x y
  geometry "$1"
  xdotool mousemove $((X + $2)) $((Y + $3)) click 1
}
start() {
  fotolauf >"$work/app.log" 2>&1 &
  app=$!
  pids+=("$app")
  main=$(window "TESSRIN Fotolauf")
}
menu() {  # menu x: the container's menu bar entry at that x
  click_in "$main" "$1" 8
}
# Ends the help viewer and waits until its window is off the screen, so that the next click
# reaches the container and not the viewer's vanishing window.
end_xchm() {
  for p in $(pgrep -x xchm || true); do kill "$p"; done
  until_true 10 test -z "$(xdotool search --onlyvisible --name '^xCHM' 2>/dev/null)" || true
}
# Ends the container, which must still be running.
stop_viewer() {
  check "the container is still running" kill -0 "$app"
  kill "$app" 2>/dev/null || true
}
files_sum() { cat "$XDG_CONFIG_HOME/mimeapps.list" "$XDG_DATA_HOME/applications/fotolauf.desktop" 2>/dev/null | md5sum || true; }

start
menu 32
d=$(window "Dateitypen")
click_in "$d" 200 268   # Fertig
for _ in $(seq 50); do grep -q fotolauf "$XDG_CONFIG_HOME/mimeapps.list" && break; sleep 0.2; done
for t in image/jpeg image/gif image/bmp image/x-icon image/vnd.microsoft.icon image/x-win-bitmap image/wmf image/emf; do
  check "default for $t" test "$(xdg-mime query default $t)" = fotolauf.desktop
done
program=$(readlink -f "$work/prefix/bin/fotolauf")
check "the entry starts the installed program" grep -qx "Exec=$program %F" "$XDG_DATA_HOME/applications/fotolauf.desktop"
check "the user's other lines stay" grep -qx "text/plain=gedit.desktop;" "$XDG_CONFIG_HOME/mimeapps.list"
check "the user's comment stays" grep -qx "# my own choices" "$XDG_CONFIG_HOME/mimeapps.list"
check "the user's added association stays" grep -qx "image/png=eog.desktop;" "$XDG_CONFIG_HOME/mimeapps.list"

# A picture opened through the desktop starts the viewer, which asks about the picture's folder.
convert -size 64x48 xc:red "$work/red.jpg"
xdg-open "$work/red.jpg" >/dev/null 2>&1 &
pids+=($!)
check "xdg-open of a JPEG starts the viewer" window "TESSRIN-Fotolauf"
for p in $(pgrep -f "^$program $work/red.jpg" || true); do kill "$p"; done
# A .jpeg is of the same type, but not a picture the viewer shows: it goes on to the JPEG viewer
# the user had before, without a message of the viewer.
cp "$work/red.jpg" "$work/rot.jpeg"
xdg-open "$work/rot.jpeg" >/dev/null 2>&1 &
pids+=($!)
handed_on() { for _ in $(seq 75); do cmp -s "$work/rot.jpeg" "$work/weitergereicht.jpeg" && return 0; sleep 0.2; done; return 1; }
check "xdg-open of a .jpeg goes on to the user's other JPEG viewer" handed_on
check "... and the viewer it started has ended, without a message" until_true 15 test -z "$(pgrep -f "^$program $work/rot.jpeg" || true)"

# "Alle ausschalten" and "Fertig" write nothing: the user's later change of the JPEG default and
# the removed entry stay as they are.
sed -i '/^image\/jpeg=/d' "$XDG_CONFIG_HOME/mimeapps.list"
rm "$XDG_DATA_HOME/applications/fotolauf.desktop"
before=$(files_sum)
menu 32
d=$(window "Dateitypen")
click_in "$d" 200 108   # Alle ausschalten
click_in "$d" 200 268   # Fertig
closed() { for _ in $(seq 25); do xdotool search --onlyvisible --name '^Dateitypen$' >/dev/null 2>&1 || return 0; sleep 0.2; done; return 1; }
check "Fertig closes the window" closed
check "all off changes nothing" test "$(files_sum)" = "$before"

# Hilfe opens the German help in the CHM viewer.
menu 81
check "Hilfe opens the German help" window "xCHM v. [0-9.]*: TESSRIN Fotolauf – Hilfe"
end_xchm
# The help viewer's own complaints (its toolkit warns while laying out) are not the viewer's.
check "nothing of the help viewer in the viewer's terminal" test -z "$(grep -i -e xchm -e gtk "$work/app.log")"
stop_viewer

# English with Language=1; with the English help file gone, the message box.
mkdir -p "$XDG_CONFIG_HOME/TESSRIN Albora 13"
printf '[Global]\nLanguage=1\n' >"$XDG_CONFIG_HOME/TESSRIN Albora 13/albo.ini"
start
menu 81
check "Help opens the English help" window "xCHM v. [0-9.]*: TESSRIN Fotolauf – Help"
end_xchm
rm "$(dirname "$program")/Help/English/fotolauf.CHM"
menu 81
check "a missing help file is reported" window "TESSRIN Fotolauf" "$main"
stop_viewer

if [ "$failures" -ne 0 ]; then
  echo "$failures checks failed"
  exit 1
fi
echo "all system checks passed"
