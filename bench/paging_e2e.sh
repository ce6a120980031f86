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
bildschirm=1920x1080 xvfb_optionen=-br
source "$here/../tests/e2e/bildschirm.sh"

cc -O2 -o "$work/probe" "$here/paging_probe.c" -lX11 -lXext -lXdamage -lXtst
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
    qimgv) cmd=(qimgv "$1") ;;  # qimgv opens the folder of its picture (in a window: it has no full-screen option)
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

label() { if [ -x "$1" ]; then echo "$(basename "$(dirname "$(dirname "$1")")")/$(basename "$(dirname "$1")")"; else echo "$1"; fi; }

# Paging, one viewer after the other.
n=0
for viewer in "$@"; do
  n=$((n + 1))
  viewer_command "$viewer" "${list[@]}"
  "${cmd[@]}" >"$work/viewer.log" 2>&1 &
  app_pid=$!
  sleep 4
  "$work/probe" keys "$(next_key "$viewer")" "$count" 1000 >"$work/dwell$n" || true
  "$work/probe" keys "$(next_key "$viewer")" "$count" 0 >"$work/fast$n" || true
  kill "$app_pid" 2>/dev/null || true
  wait "$app_pid" 2>/dev/null || true
  app_pid=""
done
# Launches, the viewers taking turns so that a busy moment of the machine falls on all of them.
for round in 1 2 3 4 5; do
  for ref in "$ref4" "$ref12" "$ref24"; do
    n=0
    for viewer in "$@"; do
      n=$((n + 1))
      sleep 0.3
      viewer_command "$viewer" "$photos/$ref"
      "$work/probe" launch "${cmd[@]}" >>"$work/launch$n-$ref" 2>/dev/null || true
    done
  done
done

printf '%-30s %-20s %-20s %8s %8s %8s\n' viewer "key after 1 s look" "key at once" 4MP 12MP 24MP
n=0
for viewer in "$@"; do
  n=$((n + 1))
  printf '%-30s %-20s %-20s %8s %8s %8s\n' "$(label "$viewer")" \
    "$(median <"$work/dwell$n") ($(range <"$work/dwell$n"))" "$(median <"$work/fast$n") ($(range <"$work/fast$n"))" \
    "$(median <"$work/launch$n-$ref4")" "$(median <"$work/launch$n-$ref12")" "$(median <"$work/launch$n-$ref24")"
done
echo "medians (range) in ms: key to changed screen over $count photos of $photos; launch to first picture, median of 5,"
echo "on $ref4, $ref12 and $ref24"
