#!/usr/bin/env bash
# Takes the skin screenshots: runs the screenshot program (through the given
# runner, e.g. cmake/wine-run <prefix>) on the current X display and, for
# every window it announces, captures the screen with ImageMagick's
# `import -window root`, cut to the window and a margin for its shadow.
# Run it on a display of its own (tests/ui/with-xvfb.sh). Exit status 77
# (skipped) without a display, or when the runner cannot start the program
# on this machine (it ends with 77 itself).
#
#   take-screenshots.sh <out folder> <runner and program...>
set -u
out=$1; shift
if [[ -n ${TW_NO_XVFB:-} || -z ${DISPLAY:-} ]]; then
  echo "take-screenshots: no X display (Xvfb missing): skipped"
  exit 77
fi
mkdir -p "$out"
rm -f "$out"/*.ready "$out"/*.done "$out"/*.tmp "$out"/*.png
names=(main-page0 main-page1 main-page2-a main-page2-b main-page3
       MessageBox1Wnd MessageBox2Wnd exitTipWnd NetworkTipWnd InstalledPathTipWnd)

"$@" "$out" &
program=$!
margin=16
status=0
for name in "${names[@]}"; do
  for _ in $(seq 1 1200); do
    [[ -f $out/$name.ready ]] && break
    kill -0 "$program" 2>/dev/null || break
    sleep 0.1
  done
  if [[ ! -f $out/$name.ready ]]; then
    if ! kill -0 "$program" 2>/dev/null; then
      wait "$program"
      (($? == 77)) && exit 77
    fi
    echo "take-screenshots: $name was never shown" >&2
    status=1
    kill "$program" 2>/dev/null
    break
  fi
  read -r x y w h < <(tr -d '\r' < "$out/$name.ready")
  geometry=$((w + 2 * margin))x$((h + 2 * margin))+$((x - margin))+$((y - margin))
  if import -display "$DISPLAY" -window root -crop "$geometry" +repage "$out/$name.png"; then
    echo "take-screenshots: $out/$name.png"
  else
    echo "take-screenshots: import failed for $name" >&2
    status=1
  fi
  touch "$out/$name.done"
done
wait "$program" || status=1
rm -f "$out"/*.ready "$out"/*.done
exit $status
