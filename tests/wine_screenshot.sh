#!/usr/bin/env bash
# Screenshot of a program's windows as they open: runs the program on its own Wine virtual
# desktop (which draws the captions, as no window manager runs on the test display), waits for
# every named window, grabs that desktop with ImageMagick's import, trims it to the windows,
# and closes the first window (WM_CLOSE, as its close box does). With --labels, then checks
# that the labels of the program's dialog template TEMPLATE_ID show their whole text.
#   wine_screenshot.sh WINE_RUN CLOSER_EXE OUT_PNG 'CAPTION[|CAPTION...]'
#                      [--labels CHECKER_EXE TEMPLATE_ID] PROGRAM [ARGUMENT...]
# Arguments that are absolute Unix paths are handed to the program as Wine's Z: paths.
# SCREENSHOT_WAIT: seconds to wait for the windows (60), longer where every start is emulated.
set -eu
wine_run=$1 closer=$2 out=$3 captions=$4
shift 4
labels=()
if [ "${1:-}" = --labels ]; then
  labels=("$2" "$3")
  shift 3
fi
[ -n "${DISPLAY:-}" ] || { echo "screenshot: no X display (run under xvfb-run)"; exit 1; }
to_windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }
command=()
for argument in "$@"; do
  case "$argument" in
    /*) command+=("$(to_windows_path "$argument")") ;;
    *) command+=("$argument") ;;
  esac
done
IFS='|' read -r -a wanted <<<"$captions"
program=$(basename "$1")
desktop="Shot$$"

"$wine_run" explorer "/desktop=$desktop,800x640" "${command[@]}" >/dev/null 2>&1 &
launcher=$!
close_window() { "$wine_run" "$closer" "$desktop" "${wanted[0]}" >/dev/null 2>&1 || true; }
trap close_window EXIT

all_shown() {
  local children caption
  children=$(xwininfo -id "$1" -children 2>/dev/null) || return 1
  for caption in "${wanted[@]}"; do
    grep -qF "\"$caption\": (\"$program\"" <<<"$children" || return 1
  done
}
window=""
for _ in $(seq 1 $(( ${SCREENSHOT_WAIT:-60} * 2 ))); do
  window=$(xwininfo -root -tree 2>/dev/null | grep -F "\"$desktop - Wine desktop\"" | awk '{ print $1; exit }')
  if [ -n "$window" ] && all_shown "$window"; then break; fi
  window=""
  sleep 0.5
done
[ -n "$window" ] || { echo "screenshot: the windows ${wanted[*]} of $program did not appear"; exit 1; }
sleep 2  # let them finish painting

# The desktop's own background around the windows is one colour: trim it away.
import -window "$window" "$out.full.png"
convert "$out.full.png" -trim +repage "$out"
rm -f "$out.full.png"

close_window
trap - EXIT
for _ in $(seq 1 40); do kill -0 "$launcher" 2>/dev/null || break; sleep 0.5; done
identify "$out"
if [ ${#labels[@]} -gt 0 ]; then
  "$wine_run" "${labels[0]}" "$(to_windows_path "$1")" "${labels[1]}"
fi
