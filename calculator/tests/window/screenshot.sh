#!/usr/bin/env bash
# Screenshot of the calculator as it opens: runs mensurio.exe on its own Wine virtual desktop
# (which draws the window's caption, as no window manager runs on the test display), grabs
# that desktop with ImageMagick's import, trims it to the window, and closes the window.
#   screenshot.sh WINE_RUN MENSURIO_EXE CLOSER_EXE OUT_PNG
set -eu
wine_run=$1 mensurio=$2 closer=$3 out=$4
[ -n "${DISPLAY:-}" ] || { echo "screenshot: no X display (run under xvfb-run)"; exit 1; }
to_windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }
desktop="MensurioShot$$"

"$wine_run" explorer "/desktop=$desktop,520x640" "$(to_windows_path "$mensurio")" >/dev/null 2>&1 &
launcher=$!
close_window() { "$wine_run" "$closer" "$desktop" "Mensurio" >/dev/null 2>&1 || true; }
trap close_window EXIT

window=""
for _ in $(seq 1 120); do
  window=$(xwininfo -root -tree 2>/dev/null | grep -F "\"$desktop - Wine desktop\"" | awk '{ print $1; exit }')
  if [ -n "$window" ] && xwininfo -id "$window" -children | grep -qF '"Mensurio": ("mensurio.exe"'; then
    break
  fi
  window=""
  sleep 0.5
done
[ -n "$window" ] || { echo "screenshot: the calculator's window did not appear"; exit 1; }
sleep 2  # let it finish painting

# The desktop's own background around the window is one colour: trim it away.
import -window "$window" "$out.full.png"
convert "$out.full.png" -trim +repage "$out"
rm -f "$out.full.png"

close_window
trap - EXIT
for _ in $(seq 1 40); do kill -0 "$launcher" 2>/dev/null || break; sleep 0.5; done
identify "$out"
