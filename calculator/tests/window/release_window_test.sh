#!/usr/bin/env bash
# The calculator as it opens, where one program cannot start another: starts mensurio.exe and
# the answer reader side by side, each under the emulator, and checks that the window showed
# the expected answer and that the program ended when the reader closed its window.
#   release_window_test.sh EMULATOR MENSURIO_EXE READER_EXE EXPECTED_ANSWER_FILE
set -u
emulator=$1 mensurio=$2 reader=$3 expected=$4
[ -n "${DISPLAY:-}" ] || { echo "release_window_test: no X display (run under xvfb-run)"; exit 1; }
work=$(mktemp -d)
"$emulator" "$mensurio" > "$work/program.out" 2>&1 &
program=$!
trap 'kill "$program" 2>/dev/null; rm -rf "$work"' EXIT
status=0
# Both start in parallel; under emulation each start takes about a minute, more on a busy machine.
"$emulator" "$reader" 600 > "$work/answer.txt" || status=$?
[ $status -eq 0 ] || { echo "FAIL: the reader found no answer (exit $status)"; cat "$work/program.out"; exit 1; }

for _ in $(seq 1 120); do kill -0 "$program" 2>/dev/null || break; sleep 0.5; done
if kill -0 "$program" 2>/dev/null; then
  echo "FAIL: mensurio.exe still runs after its window was closed"
  exit 1
fi
wait "$program" || { echo "FAIL: mensurio.exe ended with status $?"; exit 1; }
if ! cmp "$expected" "$work/answer.txt"; then
  echo "FAIL: the answer box shows:"; cat -A "$work/answer.txt"
  exit 1
fi
echo "ok: the window opened with the default answer and closed"
