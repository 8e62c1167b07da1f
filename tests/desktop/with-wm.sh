#!/usr/bin/env bash
# with-wm.sh WM [--screen WxHxD] -- COMMAND...: runs COMMAND on a private Xvfb
# display managed by the window manager WM (openbox, icewm, or none), then ends
# both. Every wait is bounded; the command's exit status is the script's.
set -euo pipefail

wm=$1
shift
screen=1280x1024x24
if [ "${1:-}" = "--screen" ]; then
  screen=$2
  shift 2
fi
[ "${1:-}" = "--" ] && shift

for tool in Xvfb xprop; do
  command -v "$tool" >/dev/null || { echo "with-wm.sh: $tool is missing (make setup installs it)" >&2; exit 1; }
done
if [ "$wm" != none ] && ! command -v "$wm" >/dev/null; then
  echo "with-wm.sh: $wm is missing (make setup installs it)" >&2
  exit 1
fi

workdir=$(mktemp -d)
xvfb_pid=""
wm_pid=""
cleanup() {
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$workdir"
}
trap cleanup EXIT

# Xvfb picks a free display itself and writes its number once it is ready.
exec 3>"$workdir/display"
Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp >"$workdir/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 100); do
  [ -s "$workdir/display" ] && break
  sleep 0.1
done
[ -s "$workdir/display" ] || { echo "with-wm.sh: Xvfb did not start" >&2; cat "$workdir/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$workdir/display")"

if [ "$wm" != none ]; then
  export HOME="$workdir"  # the window managers' own settings stay out of the user's home
  case "$wm" in
    icewm) icewm -c /dev/null >"$workdir/wm.log" 2>&1 & ;;
    *) "$wm" >"$workdir/wm.log" 2>&1 & ;;
  esac
  wm_pid=$!
  # A window manager announces itself on the root window.
  for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
  done
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' \
    || { echo "with-wm.sh: $wm did not start" >&2; cat "$workdir/wm.log" >&2; exit 1; }
fi

unset QT_QPA_PLATFORM
"$@"
