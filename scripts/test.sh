#!/usr/bin/env bash
# Installs what is missing, checks the formatting, builds everything and runs
# every test, then the
# further checks in scripts/test.d (sanitizer build, bounded fuzzing).
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
bash "$top/scripts/deps.sh"
bash "$top/scripts/check-format.sh"
bash "$top/scripts/build.sh"
(
  cd "${TOLVANE_BUILD_DIR:-$top/build}"
  export QT_QPA_PLATFORM=offscreen
  ctest --output-on-failure --parallel "$(nproc)" --timeout 300
)
for step in "$top"/scripts/test.d/*.sh; do
  [ -e "$step" ] || continue
  echo "== $(basename "$step")"
  bash "$step"
done
