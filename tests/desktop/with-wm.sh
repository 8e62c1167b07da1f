#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# with-wm.sh WM [--screen WxHxD] -- COMMAND...: runs COMMAND on a private Xvfb
# display managed by the window manager WM (openbox, icewm, xfwm4, fluxbox,
# jwm, fvwm, metacity, twm, kwin_x11, mutter, weston, or none), then ends
# them. Under weston, nested in the Xvfb display, COMMAND runs on weston's
# XWayland display. Every wait is bounded; the command's exit status is the
# script's.
set -euo pipefail

wm=$1
shift
screen=1280x1024x24
if [ "${1:-}" = "--screen" ]; then
  screen=$2
  shift 2
fi
[ "${1:-}" = "--" ] && shift

for tool in Xvfb xprop xwininfo; do
  command -v "$tool" >/dev/null || { echo "with-wm.sh: $tool is missing (make setup installs it)" >&2; exit 1; }
done
if [ "$wm" != none ] && ! command -v "$wm" >/dev/null; then
  echo "with-wm.sh: $wm is missing (make setup installs it)" >&2
  exit 1
fi

workdir=$(mktemp -d)
xvfb_pid=""
wm_pid=""
# A process that has not yet ended (a zombie has).
running() {
  local state
  state=$(ps -o stat= -p "$1" 2>/dev/null) || return 1
  [[ $state != Z* ]]
}
lock="${TMPDIR:-/tmp}/zarnik-xvfb-start.lock"
cleanup() {
  # A server that is ending removes its socket last: no other server may take
  # its display number until it has gone (see the start below).
  exec 9>"$lock"
  flock -w 30 9 || true
  for pid in $wm_pid $xvfb_pid; do
    kill "$pid" 2>/dev/null || true
  done
  [ "$wm" = xfwm4 ] && [ -n "$wm_pid" ] && kill -- "-$wm_pid" 2>/dev/null || true
  # Some window managers outlive a polite request; none outlives a second.
  for _ in $(seq 20); do
    alive=""
    for pid in $wm_pid $xvfb_pid; do
      running "$pid" && alive=yes
    done
    [ -z "$alive" ] && break
    sleep 0.1
  done
  for pid in $wm_pid $xvfb_pid; do
    kill -9 "$pid" 2>/dev/null || true
  done
  [ "$wm" = xfwm4 ] && [ -n "$wm_pid" ] && kill -9 -- "-$wm_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$workdir"
}
trap cleanup EXIT

# Waits up to twenty seconds for a command to succeed.
wait_for() {
  for _ in $(seq 200); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}

# Xvfb picks a free display itself and writes its number once it is ready.
# On a machine where other servers come and go a display may vanish under a
# new server; a display that does not answer is started afresh, three times
# at most.
# Servers start one at a time on this machine, so that two of them never
# race for the same free display number (the loser dies, and its clients would
# talk to the winner's server until that one ends), and none starts while
# another ends; the lock is held until the window manager is up.
exec 9>"$lock"
flock -w 60 9 || true
# An EWMH window manager announces itself on the root window; twm, which
# knows no EWMH, is ready once it has made its first window.
announced() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
has_windows() { xwininfo -root -children 2>/dev/null | grep -q '^ *[0-9]* child'; }
xwayland_ready() { [ -s "$workdir/wm.log" ] && grep -q 'xserver listening on display' "$workdir/wm.log"; }

# Starts Xvfb and the window manager; fails (to be tried again) only where the
# window manager ended at once on a display that had answered.
start_desktop() {
  local try=$1
  for attempt in 1 2 3; do
    : >"$workdir/display"
    exec 3>"$workdir/display"
    Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp >"$workdir/xvfb.log" 2>&1 &
    xvfb_pid=$!
    exec 3>&-
    wait_for test -s "$workdir/display" || { echo "with-wm.sh: Xvfb did not start" >&2; cat "$workdir/xvfb.log" >&2; exit 1; }
    export DISPLAY=":$(head -n1 "$workdir/display")"
    wait_for xprop -root -len 0 && running "$xvfb_pid" && break
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    [ "$attempt" = 3 ] && { echo "with-wm.sh: display $DISPLAY does not answer" >&2; exit 1; }
  done

  if [ "$wm" != none ]; then
    export HOME="$workdir"  # the window managers' own settings stay out of the user's home
    ready=announced
    case "$wm" in
      icewm) icewm -c /dev/null >"$workdir/wm.log" 2>&1 & ;;
      kwin_x11)
        # kwin's focus-stealing prevention may keep a new window from the focus
        # on a loaded machine; the tests press keys in it at once.
        mkdir -p "$workdir/.config"
        printf '[Windows]\nFocusStealingPreventionLevel=0\n' >"$workdir/.config/kwinrc"
        KWIN_COMPOSE=N kwin_x11 >"$workdir/wm.log" 2>&1 &
        ;;
      mutter) mutter --x11 --replace --sm-disable >"$workdir/wm.log" 2>&1 & ;;
      twm)
        # Without a placement rule twm lets the user place each new window
        # while it holds the whole server.
        printf 'RandomPlacement\nNoGrabServer\n' >"$workdir/twmrc"
        twm -f "$workdir/twmrc" >"$workdir/wm.log" 2>&1 &
        ready=has_windows
        ;;
      weston)
        # Its CPU renderer on a smaller output: with llvmpipe drawing a
        # 1280 x 1024 output, a loaded machine starved weston until it and
        # its XWayland waited on each other for good.
        export XDG_RUNTIME_DIR="$workdir"
        weston --backend=x11-backend.so --use-pixman --xwayland --socket=wayland-zarnik --width=1024 --height=768 \
          --no-config >"$workdir/wm.log" 2>&1 &
        ready=xwayland_ready
        ;;
      # xfwm4 reads its settings through xfconf, on a session bus; the bus
      # and what it starts (the accessibility bus) end with it, as one group.
      xfwm4) setsid dbus-run-session -- xfwm4 >"$workdir/wm.log" 2>&1 & ;;
      fvwm)
        # fvwm moves a frame less than 64 pixels tall by a few pixels now
        # and then as it resizes it; the program puts it back.
        export ZARNIK_WM_NUDGES_BELOW=64
        fvwm >"$workdir/wm.log" 2>&1 &
        ;;
      *) "$wm" >"$workdir/wm.log" 2>&1 & ;;
    esac
    wm_pid=$!
    export ZARNIK_WM_PID=$wm_pid  # a test may starve it
    # Done waiting once it is ready, or once it has ended.
    ready_or_ended() { "$ready" || ! running "$wm_pid"; }
    wait_for ready_or_ended
    # Ready, and still running (twm makes its first windows before it finds
    # it has no fonts and ends).
    sleep 0.2
    "$ready" && running "$wm_pid" || {
      echo "with-wm.sh: $wm did not start on $DISPLAY" >&2
      cat "$workdir/wm.log" >&2
      running "$xvfb_pid" || { echo "with-wm.sh: its Xvfb ended:" >&2; cat "$workdir/xvfb.log" >&2; }
      # A window manager that could not reach a display that had answered is
      # started again on a new server.
      [ "$try" != 3 ] && ! running "$wm_pid" && return 1
      exit 1
    }
    if [ "$wm" = weston ]; then
      # The program is an X client of weston's XWayland, not of the Xvfb
      # display that shows weston's output.
      export ZARNIK_HOST_DISPLAY=$DISPLAY  # where weston shows its output
      export DISPLAY=$(grep -o 'xserver listening on display :[0-9]*' "$workdir/wm.log" | tail -n1 | awk '{print $NF}')
      # Its frame windows carry a 32-pixel shadow around the frame it draws,
      # and it keeps a mapped window where it put it.
      export ZARNIK_FRAME_SHADOW=32 ZARNIK_WM_KEEPS_PLACE=1
      wait_for announced || { echo "with-wm.sh: weston's XWayland did not start" >&2; cat "$workdir/wm.log" >&2; exit 1; }
    fi
  fi
}
for try in 1 2 3; do
  start_desktop "$try" && break
  for pid in $wm_pid $xvfb_pid; do
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  wm_pid=""
done

# weston's XWayland took its display number under the lock too.
flock -u 9
exec 9>&-

unset QT_QPA_PLATFORM WAYLAND_DISPLAY
status=0
"$@" || status=$?
# A window manager that ended under the command leaves its windows unframed:
# what failed then is the window manager, and its log says why.
if [ "$wm" != none ] && ! running "$wm_pid"; then
  echo "with-wm.sh: $wm ended during the run; its log:" >&2
  tail -n 40 "$workdir/wm.log" >&2
  [ "$status" = 0 ] && status=1
fi
exit "$status"
