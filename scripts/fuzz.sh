#!/usr/bin/env bash
# Builds the fuzz harnesses with clang's libFuzzer and the address and
# undefined-behaviour sanitizers, and runs each for a while, one after the
# other, at a lowered priority (nice PELAGON_FUZZ_NICE, 5 by default):
#   bash scripts/fuzz.sh [seconds per harness] [harness...]
# (default 300 s; harnesses: divefiles protocol online, all by default).
# Inputs go up to 1 MiB and each may take at most 5 s (PELAGON_FUZZ_TIMEOUT;
# libFuzzer counts wall time, so raise it on a machine that is busy with
# other work and check each timeout-* alone), so that slow paths show up as
# findings. A finding does not end the run (fork mode). The corpus grows in
# build-fuzz/corpus/<harness>;
# findings (crash-*, leak-*, timeout-*, slow-unit-*, oom-*) land in
# build-fuzz/findings/<harness>, each run's log and figures in
# build-fuzz/logs/<harness>-<start time>.log. Copy a fixed finding into
# tests/fuzz/inputs/<harness>: every build replays that folder as a test.
# The address sanitizer runs with a small quarantine and short allocation
# stacks: with its defaults the allocator took half the time of an input
# (page faults of the 256 MB quarantine, hashing 30-frame stacks). A
# use-after-free within an input is still caught; replay a finding alone for
# the full stacks.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-300}
shift || true
harnesses=("$@")
[ ${#harnesses[@]} -gt 0 ] || harnesses=(divefiles protocol online)
build=${PELAGON_FUZZ_DIR:-build-fuzz}
mkdir -p "$build" && build=$(cd "$build" && pwd)
bash scripts/install-deps.sh
cxx=$(command -v clang++ || command -v clang++-14 || true)
[ -n "$cxx" ] || { echo "clang++ is needed (apt-get install clang-14)" >&2; exit 1; }
CC=${cxx/clang++/clang} CXX=$cxx cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPELAGON_FUZZ=ON -DPELAGON_WERROR=OFF -DPELAGON_BUILD_BENCH=OFF >/dev/null
targets=()
for h in "${harnesses[@]}"; do targets+=("fuzz_$h"); done
nice -n 10 cmake --build "$build" --target "${targets[@]}" -- -j "${PELAGON_FUZZ_JOBS:-2}"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:quarantine_size_mb=16:malloc_context_size=10}
niceness=${PELAGON_FUZZ_NICE:-5}
# The update-archive reader unpacks every input into a scratch folder: in
# memory the online harness runs about twice as fast as on disk.
[ -d /dev/shm ] && export TMPDIR=${PELAGON_FUZZ_TMPDIR:-/dev/shm}
for h in "${harnesses[@]}"; do
  corpus="$build/corpus/$h" findings="$build/findings/$h" log="$build/logs/$h-$(date -u +%Y%m%dT%H%M%S).log"
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  if [ -z "$(ls -A "$corpus")" ]; then
    PELAGON_FUZZ_SEEDS="$corpus" "$build/bin/fuzz_$h"
    cp tests/fuzz/inputs/"$h"/* "$corpus"/ 2>/dev/null || true
  fi
  echo "fuzz_$h: $seconds s"
  status=0
  # Fork mode leaves a log per job in the folder it runs in.
  mkdir -p "$build/work/$h"
  ( cd "$build/work/$h" && nice -n "$niceness" "$build/bin/fuzz_$h" -fork=1 -ignore_crashes=1 -ignore_timeouts=1 \
      -ignore_ooms=1 -max_total_time="$seconds" -max_len=1048576 -timeout="${PELAGON_FUZZ_TIMEOUT:-5}" \
      -rss_limit_mb=2048 -artifact_prefix="$findings/" "$corpus" ) >"$log" 2>&1 || status=$?
  # The figures of the run, from its last status line: executions,
  # coverage (edges, features) and time.
  last=$(grep -E '^#[0-9]+: cov: ' "$log" | tail -1 || true)
  echo "fuzz_$h: ${last:-no status line}; exit $status; findings: $(ls "$findings" | wc -l)"
done
