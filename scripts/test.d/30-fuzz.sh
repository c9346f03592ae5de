#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time.
set -euo pipefail
top="$(cd "$(dirname "$0")/../.." && pwd)"
build="$top/build-fuzz"
seconds="${FUZZ_SECONDS:-60}"
CC=clang CXX=clang++ TOLVANE_BUILD_DIR="$build" bash "$top/scripts/build.sh" \
  -DTOLVANE_FUZZ=ON -DTOLVANE_GUI=OFF -DTOLVANE_TESTS=OFF
shopt -s nullglob
for fuzzer in "$build"/fuzz/*; do
  [ -x "$fuzzer" ] || continue
  name="$(basename "$fuzzer")"
  corpus="$build/corpus/$name"
  mkdir -p "$corpus"
  seeds="$top/tests/fuzz-seeds/$name"
  [ -d "$seeds" ] || seeds=""
  # The assembler's parser trace, switched on by a line of the input, writes to
  # standard error: its target runs with that closed (libFuzzer keeps its own).
  quiet=""
  [ "$name" = zernasm_fuzzer ] && quiet="-close_fd_mask=2"
  echo "-- $name for ${seconds}s"
  (cd "$build" && "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 $quiet \
      -print_final_stats=0 "$corpus" $seeds 2>"$build/$name.log") || { tail -50 "$build/$name.log"; exit 1; }
done
