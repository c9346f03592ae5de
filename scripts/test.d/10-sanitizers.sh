#!/usr/bin/env bash
# The non-GUI layers again under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
top="$(cd "$(dirname "$0")/../.." && pwd)"
build="$top/build-sanitize"
TOLVANE_BUILD_DIR="$build" bash "$top/scripts/build.sh" -DTOLVANE_SANITIZE=ON -DTOLVANE_GUI=OFF
cd "$build"
ASAN_OPTIONS=detect_leaks=0 ctest --output-on-failure --parallel "$(nproc)" --timeout 600
