#!/usr/bin/env bash
# Compares this cross build's mensurio-solve (run through its emulator: Wine or qemu-i386)
# with the native linux64 one, byte for byte, on the known answers and a few hundred
# random inputs drawn with a fixed seed. One run of each program, through --batch.
#   compare_with_native.sh NATIVE_BUILD_DIR PROGRAM COUNT SEED EMULATOR...
set -u
native_dir=$1 program=$2 count=$3 seed=$4
shift 4
emulator=("$@")

if [ -z "$native_dir" ]; then
  echo "SKIPPED: KANTORA_NATIVE_BUILD_DIR is not set; configure with" \
       "-DKANTORA_NATIVE_BUILD_DIR=<linux64 build dir> to compare with the native mensurio-solve"
  exit 77
fi
native="$native_dir/calculator/console/mensurio-solve"
if [ ! -x "$native" ]; then
  echo "FAILED: no native mensurio-solve at $native (build linux64 first)" >&2
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The generators set v (no command substitution: a subshell would not advance RANDOM).
RANDOM=$seed
boundary=(-2147483648 -2147483647 -65536 -46341 -704 -16 -2 -1 0 1 2 3 4 16 32 46340 46341 65535 65536 65537 1073741824 2147483646 2147483647)
common=(1 2 4 8 16 32 64)
choices=(0 0 0 1 1 1 -1 2 -2147483648 2147483647)
any() {  # any signed 32-bit value
  local u=$(( (RANDOM << 17) ^ (RANDOM << 2) ^ (RANDOM & 3) ))
  v=$(( u >= 2147483648 ? u - 4294967296 : u ))
}
size() {
  case $(( RANDOM % 8 )) in
    0|1|2|3) v=$(( 1 + RANDOM % 2000 )) ;;
    4) v=$(( RANDOM % 41 - 20 )) ;;
    5) v=${boundary[RANDOM % ${#boundary[@]}]} ;;
    6) any ;;
    *) v=$(( (30000 + RANDOM % 40000) * (RANDOM % 2 ? 1 : -1) )) ;;
  esac
}
multiple() {
  case $(( RANDOM % 4 )) in
    0|1) v=${common[RANDOM % 7]} ;;
    2) v=$(( RANDOM % 141 - 40 )) ;;
    *) size ;;
  esac
}
position() {
  case $(( RANDOM % 6 )) in
    0) v=$(( RANDOM % 15 - 3 )) ;;
    1) v=${boundary[RANDOM % ${#boundary[@]}]} ;;
    *) v=$(( RANDOM % 8 )) ;;
  esac
}
choice() { v=${choices[RANDOM % 10]}; }

{
  echo "704 576 640 480 16 16 0 6 0 0"
  echo "704 576 640 480 16 16 0 6 1 0"
  echo "704 576 640 480 16 16 0 6 1 1"
  echo "720 576 720 480 16 16 0 0 0 0"
  echo "704 576 640 480 16 4 0 0 0 0"
  echo "704 576 16 480 16 16 0 0 0 0"
  echo "704 576 16 480 16 16 0 0 0 1"
  echo "704 576 480 480 16 32 7 1 0 0"
  echo "704 576 640 512 4 16 0 0 1 1"
  echo "-3 -3 -3 1 1 3 0 6 0 0"
  echo "-3 -2 -40 1 1 11 3 6 0 0"
  echo "70000 70000 70000 480 16 16 6 6 0 0"
  for ((i = 0; i < count; i++)); do
    line=""
    for g in size size size size multiple multiple position position choice choice; do
      $g
      line+="$v "
    done
    echo "${line% }"
  done
} > "$work/input.txt"
lines=$(wc -l < "$work/input.txt")

"$native" --batch < "$work/input.txt" > "$work/native.txt" || { echo "FAILED: native run" >&2; exit 1; }
"${emulator[@]}" "$program" --batch < "$work/input.txt" > "$work/cross.txt" \
  || { echo "FAILED: $program under ${emulator[*]}" >&2; exit 1; }

answers=$(grep -cx '%%' "$work/native.txt")
if [ "$answers" -ne "$lines" ]; then
  echo "FAILED: the native program gave $answers answers for $lines lines" >&2
  exit 1
fi
if ! cmp "$work/native.txt" "$work/cross.txt"; then
  echo "FAILED: the outputs differ; first differing lines:" >&2
  diff "$work/native.txt" "$work/cross.txt" | head -40 >&2
  exit 1
fi
echo "OK: $lines inputs, $(wc -c < "$work/native.txt") bytes alike ($program vs $native)"
