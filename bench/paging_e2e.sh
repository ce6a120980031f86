#!/usr/bin/env bash
# Key to picture and launch to first picture for real viewers on a virtual 1920x1080 screen: each
# viewer pages through the photos with a 1 s look at each picture and with the next key as soon as
# the picture shows, then starts five times on a 4, a 12 (progressive) and a 24 megapixel photo.
# The time is read off the screen (paging_probe), so it includes everything the user waits for.
#
#   bench/paging_e2e.sh PHOTO_DIR VIEWER...
#   LAUNCH_ONLY=1 ROUNDS=15 bench/paging_e2e.sh PHOTO_DIR VIEWER...   only the launches, 15 of each
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

# The launch's picture decoded alone, as the start decodes it (one load in a fresh process of the same
# build, at 1920x1080: bench_startbild): one time in ms, "-" for a viewer without that tool.
decode_alone() {  # decode_alone VIEWER FILE
  local bench
  bench="$(dirname "$1")/bench/bench_startbild"
  case $(basename "$1") in feh | qimgv) bench="" ;; esac
  if [ -n "$bench" ] && [ -x "$bench" ]; then
    "$bench" "$2" 2>/dev/null || echo -
  else
    echo -
  fi
}

label() { if [ -x "$1" ]; then echo "$(basename "$(dirname "$(dirname "$1")")")/$(basename "$(dirname "$1")")"; else echo "$1"; fi; }

# Paging, one viewer after the other (LAUNCH_ONLY=1 leaves it out).
n=0
for viewer in "$@"; do
  n=$((n + 1))
  : >"$work/dwell$n"
  : >"$work/fast$n"
  [ -n "${LAUNCH_ONLY:-}" ] && continue
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
for round in $(seq "${ROUNDS:-5}"); do
  for ref in "$ref4" "$ref12" "$ref24"; do
    n=0
    for viewer in "$@"; do
      n=$((n + 1))
      sleep 0.3
      viewer_command "$viewer" "$photos/$ref"
      "$work/probe" launch "${cmd[@]}" >>"$work/launch$n-$ref" 2>/dev/null || true
      decode_alone "$viewer" "$photos/$ref" >>"$work/decode$n-$ref"
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
echo "medians (range) in ms: key to changed screen over $count photos of $photos; launch to first picture, median of ${ROUNDS:-5},"
echo "on $ref4, $ref12 and $ref24"

# Launch to first picture beside feh (when it ran) and beside decoding that picture alone: each launch is
# paired with the decode right after it, so that a busy moment of the machine falls on both.
feh_n=0
n=0
for viewer in "$@"; do
  n=$((n + 1))
  [ "$(basename "$viewer")" = feh ] && feh_n=$n
done
numbers() { grep -E '^-?[0-9]+(\.[0-9]+)?$' "$1" || true; }
echo
printf '%-30s %-5s %-20s %6s %-20s %-20s\n' viewer photo "launch" "x feh" "decode alone" "launch - decode"
n=0
for viewer in "$@"; do
  n=$((n + 1))
  for mp in 4 12 24; do
    eval "ref=\$ref$mp"
    launches="$work/launch$n-$ref"
    ratio=-
    if [ "$feh_n" -gt 0 ]; then
      ratio=$(awk -v a="$(numbers "$launches" | median)" -v b="$(numbers "$work/launch$feh_n-$ref" | median)" \
        'BEGIN { if (a != "-" && b != "-" && b > 0) printf "%.2f", a / b; else print "-" }')
    fi
    paste -d' ' "$launches" "$work/decode$n-$ref" | awk '$1 ~ /^[0-9.]+$/ && $2 ~ /^[0-9.]+$/ {print $1 - $2}' >"$work/diff"
    alone="-"
    [ -n "$(numbers "$work/decode$n-$ref")" ] && alone="$(numbers "$work/decode$n-$ref" | median) ($(numbers "$work/decode$n-$ref" | range))"
    more="-"
    [ -s "$work/diff" ] && more="$(median <"$work/diff") ($(range <"$work/diff"))"
    printf '%-30s %-5s %-20s %6s %-20s %-20s\n' "$(label "$viewer")" "${mp}MP" \
      "$(numbers "$launches" | median) ($(numbers "$launches" | range))" "$ratio" "$alone" "$more"
  done
done
echo "medians (range) in ms of ${ROUNDS:-5} launches each; x feh: the median launch against feh's; decode alone: bench_startbild"
echo "of the same build (one load in a fresh process at 1920x1080); launch - decode: paired by round"
