#!/usr/bin/env bash
# Configures and builds the whole tree (program, libraries, tests, benchmarks,
# command-line tool) in build/ with Ninja. Extra arguments go to cmake's
# configure step, e.g. -DPELAGON_SANITIZE=ON.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${PELAGON_BUILD_DIR:-$root/build}"
export CCACHE_BASEDIR="$root"
cmake -S "$root" -B "$build" -G Ninja "$@"
cmake --build "$build" -j "$(nproc)"
