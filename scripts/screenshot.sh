#!/usr/bin/env bash
# Renders the IDE's main window to a PNG for a person to look at, with the
# fake device selected and a project opened: under Xvfb when it is installed,
# else with the headless platform.
# Usage: scripts/screenshot.sh [output.png [project.prj]]
#   (default build/screenshots/main-window.png and samples/blink/blink.prj)
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="${TOLVANE_BUILD_DIR:-$top/build}"
out="${1:-$build/screenshots/main-window.png}"
project="${2:-$top/samples/blink/blink.prj}"
tool="$build/tests/ide_screenshot"
[[ -x "$tool" ]] || cmake --build "$build" --target ide_screenshot
mkdir -p "$(dirname "$out")"
if command -v xvfb-run >/dev/null; then
  QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" "$tool" "$out" "$project"
else
  QT_QPA_PLATFORM=offscreen "$tool" "$out" "$project"
fi
echo "$out"
