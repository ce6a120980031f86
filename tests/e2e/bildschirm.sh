# Sourced by the end-to-end scripts and the paging benchmark: a work folder and a virtual screen
# (1024x768 unless $bildschirm names another size; $xvfb_optionen are passed on to the server) that
# go away with the script (and the program under test in $app_pid with them), and pixel checks on it.
work=$(mktemp -d)
xvfb_pid=""
app_pid=""
# The server is waited for: one still shutting down removes the socket of the next script's server
# when both got the same display number.
cleanup() {
  [ -n "$app_pid" ] && { kill "$app_pid" 2>/dev/null; wait "$app_pid" 2>/dev/null; } || true
  [ -n "$xvfb_pid" ] && { kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; } || true
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 "${bildschirm:-1024x768}x24" ${xvfb_optionen:-} -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
# The display is named before it always takes connections on a busy machine.
for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
export XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=xcb

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
