#!/usr/bin/env bash
# Times ZernAsm against gpasm and avra on generated sources of 10,000 and
# 100,000 lines and prints lines per second and ZernAsm's speed ratios.
# Usage: bench/assembler/run.sh [build folder]   (not part of ctest)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
top="$(cd "$here/../.." && pwd)"
build="${1:-${TOLVANE_BUILD_DIR:-$top/build}}"
zernasm="$build/bin/Compilers/QuorinAssembler/ZernAsm"

# The peers are benchmark-only tools.
missing=()
command -v gpasm >/dev/null || missing+=(gputils)
command -v avra >/dev/null || missing+=(avra)
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
[ -x "$zernasm" ] || cmake --build "$build" --target ZernAsm

python3 "$here/bench.py" "$zernasm"
