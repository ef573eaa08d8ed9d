#!/usr/bin/env bash
# Installs what is needed, builds everything and runs the whole test suite
# headless with ctest. Extra arguments go to cmake's configure step, e.g.
# -DPELAGON_SANITIZE=ON (use another PELAGON_BUILD_DIR for that build).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$@"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "${PELAGON_BUILD_DIR:-$root/build}" --output-on-failure -j "$(nproc)"
