#!/usr/bin/env bash
# Installs what is missing, builds everything and starts the IDE on a working
# copy of the sample project in the build folder, so that using the IDE never
# changes the checkout; the copy is made once and keeps the user's edits.
# With TOLVANE_SKIP_BUILD=1 it neither installs nor builds (tests).
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="${TOLVANE_BUILD_DIR:-$top/build}"
sample="$build/samples/blink"

# On a first start without any device list the IDE would end at once: give
# the user a list of the device plug-ins built beside it. With none built the
# list is empty but exists, so the IDE still starts.
register_devices() {
  shopt -s nullglob
  "$build/bin/RegisterDevices" --if-no-list "$build"/bin/lib*.so
}

# Made once, through a temporary folder so that an interrupted copy is never
# taken for a finished one; after that the copy is the user's.
copy_sample() {
  [[ -d "$sample" ]] && return
  mkdir -p "$(dirname "$sample")"
  local partial
  partial="$(mktemp -d "$sample.XXXXXX")"
  cp -R "$top/samples/blink/." "$partial/"
  chmod 755 "$partial"
  mv "$partial" "$sample"
}

if [[ "${TOLVANE_SKIP_BUILD:-0}" != 1 ]]; then
  bash "$top/scripts/deps.sh"
  bash "$top/scripts/build.sh"
fi
register_devices
copy_sample
exec "$build/bin/Ostravel" "$sample/blink.prj"
