#!/usr/bin/env bash
# Builds the dive file readers with clang's fuzzer and sanitizers and fuzzes
# them for a while: bash scripts/fuzz-files.sh [seconds] (default 300).
# Findings (crash-*, leak-*, timeout-*) land in build-fuzz/findings.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-300}
build=${PELAGON_FUZZ_DIR:-build-fuzz}
bash scripts/install-deps.sh
cxx=$(command -v clang++ || command -v clang++-14 || true)
[ -n "$cxx" ] || { echo "clang++ is needed (apt-get install clang-14)" >&2; exit 1; }
CC=${cxx/clang++/clang} CXX=$cxx cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPELAGON_FUZZ=ON -DPELAGON_WERROR=OFF -DPELAGON_BUILD_BENCH=OFF
cmake --build "$build" --target fuzz_divefiles
mkdir -p "$build/corpus" "$build/findings"
[ -n "$(ls -A "$build/corpus")" ] || PELAGON_FUZZ_SEEDS="$build/corpus" "$build/bin/fuzz_divefiles"
# Inputs up to 1 MiB: UDDF logbooks of many dives and binary payloads with
# many keys only show their costs at that size.
"$build/bin/fuzz_divefiles" -max_total_time="$seconds" -max_len=1048576 -rss_limit_mb=3000 -timeout=20 \
  -artifact_prefix="$build/findings/" "$build/corpus"
