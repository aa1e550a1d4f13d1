#!/usr/bin/env bash
# Runs a command on a display of its own: starts Xvfb on a free display
# (Xvfb picks it: -displayfd), exports DISPLAY and TW_XVFB=1, runs the
# command, stops that Xvfb (by its PID) and returns the command's status.
# With xcompmgr installed, a compositing manager runs on that display too:
# only then can Wine blend layered windows, so the drop shadow is switched on
# (TW_SHADOW_ON_WINE=1) and shows in the screenshots as on Windows.
# Without an Xvfb binary the command runs with TW_NO_XVFB=1, so tests that
# need a display can skip with a message.
#
#   with-xvfb.sh <command> [args...]
set -u
if ! command -v Xvfb >/dev/null 2>&1; then
  export TW_NO_XVFB=1
  exec "$@"
fi
displayfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$displayfile" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 1 100); do
  [[ -s $displayfile ]] && break
  sleep 0.1
done
display=$(head -n1 "$displayfile" 2>/dev/null || true)
rm -f "$displayfile"
if [[ -z $display ]]; then
  kill "$xvfb" 2>/dev/null
  echo "with-xvfb: Xvfb did not report a display" >&2
  exit 1
fi
export DISPLAY=:$display TW_XVFB=1
compositor=
if command -v xcompmgr >/dev/null 2>&1; then
  xcompmgr >/dev/null 2>&1 &
  compositor=$!
  export TW_SHADOW_ON_WINE=1
fi
"$@"
status=$?
[[ -n $compositor ]] && kill "$compositor" 2>/dev/null
kill "$xvfb" 2>/dev/null
wait "$xvfb" 2>/dev/null
exit $status
