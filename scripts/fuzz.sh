#!/usr/bin/env bash
# Builds the libFuzzer targets (preset fuzz: clang, AddressSanitizer, UBSan), replays each seed
# corpus in fuzz/corpus/<target>/, then fuzzes each target for SECONDS (default 20; 0: replay
# only), with fuzz/<target>.dict where there is one. Fails on any finding; the input that found
# it is kept in build/fuzz/findings/.
# New inputs the fuzzer finds go to build/fuzz/work/<target>/, not into the committed seeds.
# usage: scripts/fuzz.sh [SECONDS [TARGET...]]
set -uo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-20}
[ $# -gt 0 ] && shift
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(run_callback script_callbacks script_parser size_solver host_input)

cmake --preset fuzz >/dev/null || exit 1
cmake --build --preset fuzz || exit 1

work=build/fuzz/work findings=build/fuzz/findings
mkdir -p "$findings"
failed=()
for target in "${targets[@]}"; do
  fuzzer=build/fuzz/fuzz/${target}_fuzzer seeds=fuzz/corpus/$target
  rm -rf "${work:?}/$target" && mkdir -p "$work/$target"
  if [ "$seconds" -eq 0 ]; then
    limit=(-runs=0)
  else
    limit=(-max_total_time="$seconds")
  fi
  dictionary=()
  [ -f "fuzz/$target.dict" ] && dictionary=(-dict="fuzz/$target.dict")
  echo "== fuzz: $target ($(ls "$seeds" | wc -l) seeds, ${seconds}s)"
  # -timeout: an input that takes this long is a finding too (a hang).
  if "$fuzzer" "${limit[@]}" "${dictionary[@]}" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="$findings/$target-" "$work/$target" "$seeds" >"$work/$target.log" 2>&1; then
    # The figures from the seeds and at the end: coverage (cov: edges, ft: features), corpus
    # (corp: inputs/bytes), runs.
    grep -E '[[:space:]](INITED|DONE)[[:space:]]|^Done ' "$work/$target.log"
  else
    tail -n 40 "$work/$target.log"
    echo "FAILED: $target; the input is in $findings/ (replay: $fuzzer FILE)"
    failed+=("$target")
  fi
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzz: findings in ${failed[*]}"
  exit 1
fi
echo "fuzz: no findings"
