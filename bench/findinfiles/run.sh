#!/usr/bin/env bash
# Builds a tree of at least 20,000 files and 200 MB from copies of
# /usr/include (regular files only) in a temporary folder, then times Find in
# Files against grep -rnF on it for a frequent and a rare text.
# Usage: bench/findinfiles/run.sh [build folder] [runs]   (not part of ctest)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
top="$(cd "$here/../.." && pwd)"
build="${1:-${TOLVANE_BUILD_DIR:-$top/build}}"
runs="${2:-7}"
bench="$build/bench/findinfiles_bench"
[ -x "$bench" ] || cmake --build "$build" --target findinfiles_bench

tree="$(mktemp -d)"
trap 'rm -rf "$tree"' EXIT
copy=0
while :; do
  files=$(find "$tree" -type f | wc -l)
  bytes=$(du -sb "$tree" | cut -f1)
  if [ "$files" -ge 20000 ] && [ "$bytes" -ge $((200 * 1024 * 1024)) ]; then
    break
  fi
  mkdir -p "$tree/copy$copy"
  (cd /usr/include && find . -type f -print0 | tar --null -T - -cf -) | tar -xf - -C "$tree/copy$copy"
  copy=$((copy + 1))
done
echo "tree: $files files, $((bytes / 1024 / 1024)) MB in $copy copies of /usr/include"

for text in "define" "ZERN_NOT_THERE"; do
  QT_QPA_PLATFORM=offscreen "$bench" "$tree" "$text" "$runs"
done
