#!/usr/bin/env bash
# Times ZernAsm against gpasm, avra and GNU as on generated sources of 10,000
# and 100,000 lines, prints lines per second and ZernAsm's ratios, and checks
# that its listing and HEX files match those of a build of an earlier revision.
# Usage: bench/assembler/run.sh [build folder]   (not part of ctest)
#   ZERNASM_BEFORE   a ZernAsm program to compare the outputs with, or else
#   BENCH_BEFORE_REV the git revision to build it from (default main; "none" skips)
#   BENCH_RUNS       runs per tool and size (default 7); BENCH_HOSTILE=1 adds the hostile sources
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
top="$(cd "$here/../.." && pwd)"
build="${1:-${TOLVANE_BUILD_DIR:-$top/build}}"
zernasm="$build/bin/Compilers/QuorinAssembler/ZernAsm"

# The peers are benchmark-only tools.
missing=()
command -v gpasm >/dev/null || missing+=(gputils)
command -v avra >/dev/null || missing+=(avra)
command -v as >/dev/null || missing+=(binutils)
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
[ -x "$zernasm" ] || cmake --build "$build" --target ZernAsm

before="${ZERNASM_BEFORE:-}"
revision="${BENCH_BEFORE_REV:-main}"
if [ -z "$before" ] && [ "$revision" != none ]; then
  # The earlier revision is built once, beside the build folder, ZernAsm alone.
  folder="$build/bench-before/$(git -C "$top" rev-parse --short "$revision")"
  before="$folder/build/bin/Compilers/QuorinAssembler/ZernAsm"
  if [ ! -x "$before" ]; then
    rm -rf "$folder"
    mkdir -p "$folder/source"
    git -C "$top" archive "$revision" | tar -x -C "$folder/source"
    cmake -S "$folder/source" -B "$folder/build" -G Ninja -DTOLVANE_GUI=OFF -DTOLVANE_TESTS=OFF >/dev/null
    cmake --build "$folder/build" --target ZernAsm >/dev/null
  fi
fi

python3 "$here/bench.py" "$zernasm" ${before:+"$before"}
