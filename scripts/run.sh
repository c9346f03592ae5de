#!/usr/bin/env bash
# Installs what is missing, builds everything and starts the IDE on the sample project.
# With TOLVANE_REGISTER_ONLY=1 it only registers the built device plug-ins (tests).
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="${TOLVANE_BUILD_DIR:-$top/build}"

# On a first start without any device list the IDE would end at once: give
# the user a list of the device plug-ins built beside it. With none built the
# list is empty but exists, so the IDE still starts.
register_devices() {
  shopt -s nullglob
  "$build/bin/RegisterDevices" --if-no-list "$build"/bin/lib*.so
}

if [[ "${TOLVANE_REGISTER_ONLY:-0}" == 1 ]]; then
  register_devices
  exit 0
fi
bash "$top/scripts/deps.sh"
bash "$top/scripts/build.sh"
register_devices
exec "$build/bin/Ostravel" "$top/samples/blink/blink.prj"
