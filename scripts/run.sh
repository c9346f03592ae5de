#!/usr/bin/env bash
# Installs what is missing, builds everything and starts the IDE on the sample project.
# With TOLVANE_REGISTER_ONLY=1 it only registers the built device plug-ins (tests).
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="${TOLVANE_BUILD_DIR:-$top/build}"

# The INI section that the IDE's registry layer reads as its device list.
# The registry layer itself writes it as keys of the "[Software]" section.
devices_section='[Software/Quorin%20Semiconductor/Tolvane/Devices]'
devices_keys='Quorin%20Semiconductor\Tolvane\Devices\'

has_device_list() {
  [[ -f "$1" ]] && { grep -qxF "$devices_section" "$1" || grep -qF "$devices_keys" "$1"; }
}

# An INI string value, quoted so that commas, semicolons and spaces survive.
ini_string() {
  local text="${1//\\/\\\\}"
  printf '"%s"' "${text//\"/\\\"}"
}

# On a first start without any device list the IDE would end at once: give
# the user a list of the device plug-ins built beside it. With none built the
# list is empty but exists (its key marker), so the IDE still starts.
register_devices() {
  local user="${XDG_CONFIG_HOME:-${HOME:-/tmp}/.config}/Tolvane/registry.ini"
  local dirs="${XDG_CONFIG_DIRS:-/etc/xdg}"
  dirs="${dirs%%:*}"
  local machine="${dirs:-/etc/xdg}/Tolvane/registry.ini"
  if has_device_list "$user" || has_device_list "$machine"; then
    return 0
  fi
  mkdir -p "$(dirname "$user")"
  local library name
  {
    [[ -s "$user" ]] && echo
    echo "$devices_section"
    echo '%25key='
    for library in "$build"/bin/lib*.so; do
      [[ -f "$library" ]] || continue
      name="$(basename "$library" .so)"
      echo "${name#lib}=$(ini_string "$library")"
    done
  } >>"$user"
}

if [[ "${TOLVANE_REGISTER_ONLY:-0}" == 1 ]]; then
  register_devices
  exit 0
fi
bash "$top/scripts/deps.sh"
bash "$top/scripts/build.sh"
register_devices
exec "$build/bin/Ostravel" "$top/samples/blink/blink.prj"
