#!/usr/bin/env bash
# Key to picture and launch to first picture for real viewers on a virtual 1920x1080 screen: each
# viewer pages through the photos with a 1 s look at each picture and with the next key as soon as
# the picture shows, then starts five times on a 4, a 12 (progressive) and a 24 megapixel photo.
# The time is read off the screen (paging_probe), so it includes everything the user waits for.
#
#   bench/paging_e2e.sh PHOTO_DIR VIEWER...
#
# VIEWER is a path to a fotolauf binary (several may be compared in one run, e.g. two builds), or
# "feh" / "qimgv". Needs Xvfb, a C compiler and the X headers (apt-get install libx11-dev
# libxext-dev libxdamage-dev libxtst-dev); feh and qimgv from Debian to compare with them.
set -euo pipefail
photos=$(cd "${1:?usage: paging_e2e.sh PHOTO_DIR VIEWER...}" && pwd)
shift
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
xvfb_pid=""
viewer_pid=""
cleanup() {
  [ -n "$viewer_pid" ] && kill "$viewer_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

cc -O2 -o "$work/probe" "$here/paging_probe.c" -lX11 -lXext -lXdamage -lXtst
Xvfb -displayfd 3 -screen 0 1920x1080x24 -br -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")" QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$work/config"
xdotool mousemove 1919 1079

mapfile -t list < <(ls "$photos"/*.jpg)
count=${#list[@]}
median() { sort -n | awk '{v[NR]=$1} END {if (NR == 0) print "-"; else if (NR % 2) print v[(NR+1)/2]; else printf "%.1f\n", (v[NR/2]+v[NR/2+1])/2}'; }
range() { sort -n | awk 'NR==1{lo=$1} {hi=$1} END {print lo "-" hi}'; }

# How each viewer is started full screen on a list of pictures (into the array cmd).
viewer_command() {  # viewer_command VIEWER FILE...
  local viewer=$1
  shift
  case $(basename "$viewer") in
    feh) cmd=(feh -F --auto-zoom "$@") ;;
    qimgv) cmd=(qimgv --fullscreen "$1") ;;  # qimgv opens the folder of its picture
    *)
      # A slide-list file keeps the order and skips the sub-folder question of a single picture.
      printf '%s\n' "$@" >"$work/list$#.flf"
      cmd=("$viewer" "$work/list$#.flf") ;;
  esac
}
next_key() { case $(basename "$1") in feh | qimgv) echo Right ;; *) echo F3 ;; esac; }

reference() {  # reference MP: the photo nearest that many megapixels (progressive for 12)
  ls "$photos" | awk -F'[_x.]' -v mp="$1" '{w=$(NF-2); h=$(NF-1); d=w*h/1e6-mp; if (d<0) d=-d; print d, $0}' |
    sort -n | head -n 1 | cut -d' ' -f2
}
ref4=$(reference 4.1)
ref12=$(reference 12.2)
ref24=$(reference 24)

printf '%-34s %-22s %-22s %8s %8s %8s\n' viewer "F3 after 1 s look" "F3 at once" "4MP" "12MP" "24MP"
for viewer in "$@"; do
  label=$viewer
  [ -x "$viewer" ] && label=$(basename "$(dirname "$(dirname "$viewer")")")/$(basename "$(dirname "$viewer")")
  key=$(next_key "$viewer")
  viewer_command "$viewer" "${list[@]}"
  "${cmd[@]}" >"$work/viewer.log" 2>&1 &
  viewer_pid=$!
  sleep 4
  "$work/probe" keys "$key" "$count" 1000 >"$work/dwell" || true
  "$work/probe" keys "$key" "$count" 0 >"$work/fast" || true
  kill "$viewer_pid" 2>/dev/null || true
  wait "$viewer_pid" 2>/dev/null || true
  viewer_pid=""
  launch=()
  for ref in "$ref4" "$ref12" "$ref24"; do
    : >"$work/launch"
    for _ in 1 2 3 4 5; do
      sleep 0.5
      viewer_command "$viewer" "$photos/$ref"
      "$work/probe" launch "${cmd[@]}" >>"$work/launch" 2>/dev/null || true
    done
    launch+=("$(median <"$work/launch")")
  done
  printf '%-34s %-22s %-22s %8s %8s %8s\n' "$label" "$(median <"$work/dwell") ($(range <"$work/dwell"))" \
    "$(median <"$work/fast") ($(range <"$work/fast"))" "${launch[@]}"
done
echo "medians in ms over $count photos in $photos (key to changed screen); launch: median of 5 on $ref4, $ref12, $ref24"
