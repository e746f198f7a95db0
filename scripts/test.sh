#!/usr/bin/env bash
# Every test: installs what is missing, builds every build (and a sanitizer build), then runs
# each build's CTest suite: native, native with sanitizers, 32-bit Linux under qemu-i386,
# the 32-bit Windows release under 32-bit Wine, and 64-bit Windows under Wine, both on a
# virtual X display; then fuzzes every entry point for a bounded time.
set -uo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh || exit 1
# linux64 first: the Windows tests compare their output with the native build's.
scripts/build.sh linux64 linux64-asan linux32 win32 win64 || exit 1

failed=()
run_suite() {
  local preset=$1; shift
  echo "== tests: $preset"
  if ! "$@" ctest --preset "$preset"; then
    failed+=("$preset")
  fi
}

run_suite linux64
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run_suite linux64-asan
run_suite linux32
# Wine needs an X display for windows; each run gets its own virtual one. The 32-bit release
# runs under 32-bit Wine on qemu-i386, a minute a process, two at a time (a few minutes).
run_suite win32 xvfb-run -a -s "-screen 0 1280x1024x24"
run_suite win64 xvfb-run -a -s "-screen 0 1280x1024x24"
# Every entry point that takes outside input, fuzzed for a bounded time (about 2 minutes).
echo "== fuzz"
scripts/fuzz.sh 20 || failed+=(fuzz)

if [ ${#failed[@]} -ne 0 ]; then
  echo "FAILED suites: ${failed[*]}"
  exit 1
fi
echo "All test suites passed."
