#!/usr/bin/env bash
# The window under a headless Wayland compositor: it starts, stands for a
# moment, and a stop request closes it cleanly (exit status 0).
# Usage: wayland_smoke.sh PROGRAM. Exit 77 (skipped) without weston.
set -u
program=$1
if ! command -v weston >/dev/null; then
  echo "skipped: weston is not installed (tools/setup installs it)"
  exit 77
fi
work=$(mktemp -d)
trap 'kill "$compositor" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
chmod 700 "$work"
export XDG_RUNTIME_DIR=$work HOME=$work
socket=wayland-i2c-$$
weston --backend=headless-backend.so --socket="$socket" --idle-time=0 \
  >"$work/weston.log" 2>&1 &
compositor=$!
for _ in $(seq 50); do [ -S "$work/$socket" ] && break; sleep 0.1; done
if [ ! -S "$work/$socket" ]; then
  echo "weston did not start:"; cat "$work/weston.log"; exit 1
fi
# A copy, so the settings file it writes beside itself stays in $work.
cp "$program" "$work/i2cmaster"
# Under the sanitizers the Wayland client library and Qt's Wayland plugin
# (loaded without symbols, so no suppression can name it) keep memory to the
# end; the window's own leaks are looked for by the other tests.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
WAYLAND_DISPLAY=$socket QT_QPA_PLATFORM=wayland "$work/i2cmaster" >"$work/out.log" 2>&1 &
window=$!
sleep 2
if ! kill -0 "$window" 2>/dev/null; then
  wait "$window"; echo "the window ended by itself (status $?):"; cat "$work/out.log"; exit 1
fi
kill -TERM "$window"
status=0
for _ in $(seq 100); do kill -0 "$window" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$window" 2>/dev/null; then
  echo "the window did not close on a stop request"; kill -KILL "$window"; exit 1
fi
wait "$window" || status=$?
cat "$work/out.log"
if [ "$status" -ne 0 ]; then echo "exit status $status"; exit 1; fi
if [ ! -f "$work/i2c.ini" ]; then echo "the settings were not written at close"; exit 1; fi
echo "the window opened under Wayland and closed cleanly"
