#!/usr/bin/env bash
# Installs what is missing, builds everything and starts the IDE on the sample project.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
bash "$top/scripts/deps.sh"
bash "$top/scripts/build.sh"
exec "${TOLVANE_BUILD_DIR:-$top/build}/bin/Ostravel" "$top/samples/blink/blink.prj"
