# Sourced by the end-to-end scripts and the paging benchmark: a work folder and a virtual screen
# (1024x768 unless $bildschirm names another size; $xvfb_optionen are passed on to the server) with
# a window manager as on a desktop (openbox unless $fenstermanager names another one, or "none"),
# that go away with the script (and the program under test in $app_pid with them), and pixel checks
# on it.
work=$(mktemp -d)
xvfb_pid=""
wm_pid=""
app_pid=""
# The server is waited for: one still shutting down removes the socket of the next script's server
# when both got the same display number.
cleanup() {
  [ -n "$app_pid" ] && { kill "$app_pid" 2>/dev/null; wait "$app_pid" 2>/dev/null; } || true
  [ -n "$wm_pid" ] && { kill "$wm_pid" 2>/dev/null; wait "$wm_pid" 2>/dev/null; } || true
  [ -n "$xvfb_pid" ] && { kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; } || true
  rm -rf "$work"
}
trap cleanup EXIT
# A command that fails outside a check ends the script (set -e) with nothing said, which reads like
# a pass in the log: say which one it was (in the script itself, not in a $(...) whose failure is
# taken care of).
set -E
trap '[ "$BASHPID" = "$$" ] && echo "stopped: \"$BASH_COMMAND\" failed (line $LINENO, in ${FUNCNAME[*]:-the script})" >&2' ERR

Xvfb -displayfd 3 -screen 0 "${bildschirm:-1024x768}x24" ${xvfb_optionen:-} -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 300); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
# The display is named before it always takes connections on a busy machine.
for _ in $(seq 300); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
xdotool getdisplaygeometry >/dev/null 2>&1 || { echo "the virtual screen did not start"; exit 1; }
export XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=xcb
mkdir -p "$XDG_CONFIG_HOME"

# The window manager is ready once it names itself on the root window (EWMH).
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; }
if [ "${fenstermanager:-openbox}" != none ]; then
  for _ in 1 2 3; do
    case "${fenstermanager:-openbox}" in
      openbox) openbox --sm-disable >"$work/wm.log" 2>&1 & ;;
      *) "$fenstermanager" >"$work/wm.log" 2>&1 & ;;
    esac
    wm_pid=$!
    for _ in $(seq 150); do wm_ready && break 2; kill -0 "$wm_pid" 2>/dev/null || break; sleep 0.1; done
  done
  wm_ready || { echo "the window manager ${fenstermanager:-openbox} did not start on $DISPLAY"; cat "$work/wm.log"; exit 1; }
fi

pixel() {  # pixel X Y -> "r,g,b"
  import -silent -window root "$work/shot.png"
  convert "$work/shot.png" -format "%[fx:int(255*p{$1,$2}.r)],%[fx:int(255*p{$1,$2}.g)],%[fx:int(255*p{$1,$2}.b)]" info:
}
near() {  # near "r,g,b" "r,g,b": each channel within ${toleranz:-24}
  local IFS=,
  read -r a1 a2 a3 <<<"$1"
  read -r b1 b2 b3 <<<"$2"
  for d in $((a1 - b1)) $((a2 - b2)) $((a3 - b3)); do
    [ "${d#-}" -le "${toleranz:-24}" ] || return 1
  done
}
# geometry WINDOW: X, Y, WIDTH, HEIGHT of the window's client area on the screen, as the X server
# has it (xdotool's own reading counts the frame of a reparenting window manager twice).
geometry() {
  local info
  # Without an id xwininfo would wait for a click on a window.
  [ -n "$1" ] || return 1
  info=$(xwininfo -id "$1" 2>/dev/null) || return 1
  eval "$(awk '/Absolute upper-left X/ { print "X=" $NF } /Absolute upper-left Y/ { print "Y=" $NF }
    /^ *Width:/ { print "WIDTH=" $NF } /^ *Height:/ { print "HEIGHT=" $NF }' <<<"$info")"
}
# until SECONDS cmd...: true once the command succeeds, polled for at most that many seconds.
until_true() {
  local i
  for ((i = 0; i < $1 * 10; i++)); do "${@:2}" && return 0; sleep 0.1; done
  return 1
}
# settle WINDOW: waits (up to 5 s) until the window manager has framed and placed the window, so that
# its place read now is where it stays.
settle() {
  local i before="" now
  [ -n "$1" ] || return 1
  for ((i = 0; i < 50; i++)); do
    if [ "${fenstermanager:-openbox}" = none ] || xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | grep -q =; then
      now=$(xwininfo -id "$1" 2>/dev/null | grep -E "Absolute|Width|Height" | tr -d ' \n')
      [ -n "$now" ] && [ "$now" = "$before" ] && return 0
      before=$now
    fi
    sleep 0.1
  done
}
# window_id NAME-REGEX [SECONDS]: the first visible window of that title once it is placed, "" when
# none came.
window_id() {
  local i w
  for ((i = 0; i < ${2:-10} * 10; i++)); do
    w=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1) || true
    [ -n "$w" ] && { settle "$w"; echo "$w"; return 0; }
    sleep 0.1
  done
}
# The client window that has the keyboard focus, as the X server says.
focused() { xdotool getwindowfocus 2>/dev/null; }
# drop_files DRAGSOURCE X Y LANDED FILE...: a second program drags the files onto that point of the
# screen (XDND), moved step by step as a hand would; the source is grabbed wherever it was placed
# and kept until the command LANDED sees the files arrive (the data goes over after the drop).
# Tried up to three times; false when they never landed.
drop_files() {
  local source=$1 tx=$2 ty=$3 landed=$4 drag_pid w sx sy step X Y WIDTH HEIGHT
  shift 4
  for _ in 1 2 3; do
    "$source" "$@" >"$work/drag.log" 2>&1 &
    drag_pid=$!
    w=$(window_id "^drag source$" 10)
    geometry "$w"
    sx=$((X + WIDTH / 2)) sy=$((Y + HEIGHT / 2))
    xdotool mousemove $sx $sy mousedown 1
    sleep 0.3
    for step in 1 2 3 4 5 6; do
      xdotool mousemove $((sx + (tx - sx) * step / 6)) $((sy + (ty - sy) * step / 6))
      sleep 0.15
    done
    xdotool mouseup 1
    if until_true 10 "$landed"; then
      kill "$drag_pid" 2>/dev/null || true
      wait "$drag_pid" 2>/dev/null || true
      return 0
    fi
    kill "$drag_pid" 2>/dev/null || true
    wait "$drag_pid" 2>/dev/null || true
  done
  return 1
}
