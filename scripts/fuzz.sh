#!/usr/bin/env bash
# Builds the fuzz harnesses with clang's libFuzzer and the address and
# undefined-behaviour sanitizers, and runs each for a while, one after the
# other, at the lowest priority:
#   bash scripts/fuzz.sh [seconds per harness] [harness...]
# (default 300 s; harnesses: divefiles protocol online, all by default).
# Inputs go up to 1 MiB and each may take at most 5 s, so that slow paths
# show up as findings. The corpus grows in build-fuzz/corpus/<harness>;
# findings (crash-*, leak-*, timeout-*, slow-unit-*, oom-*) land in
# build-fuzz/findings/<harness>, the run's log and figures in
# build-fuzz/logs/<harness>.log. Copy a fixed finding into
# tests/fuzz/inputs/<harness>: every build replays that folder as a test.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-300}
shift || true
harnesses=("$@")
[ ${#harnesses[@]} -gt 0 ] || harnesses=(divefiles protocol online)
build=${PELAGON_FUZZ_DIR:-build-fuzz}
bash scripts/install-deps.sh
cxx=$(command -v clang++ || command -v clang++-14 || true)
[ -n "$cxx" ] || { echo "clang++ is needed (apt-get install clang-14)" >&2; exit 1; }
CC=${cxx/clang++/clang} CXX=$cxx cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPELAGON_FUZZ=ON -DPELAGON_WERROR=OFF -DPELAGON_BUILD_BENCH=OFF >/dev/null
targets=()
for h in "${harnesses[@]}"; do targets+=("fuzz_$h"); done
nice -n 19 cmake --build "$build" --target "${targets[@]}" -- -j "${PELAGON_FUZZ_JOBS:-2}"

export QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
for h in "${harnesses[@]}"; do
  corpus="$build/corpus/$h" findings="$build/findings/$h" log="$build/logs/$h.log"
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  if [ -z "$(ls -A "$corpus")" ]; then
    PELAGON_FUZZ_SEEDS="$corpus" "$build/bin/fuzz_$h"
    cp tests/fuzz/inputs/"$h"/* "$corpus"/ 2>/dev/null || true
  fi
  echo "fuzz_$h: $seconds s"
  status=0
  nice -n 19 "$build/bin/fuzz_$h" -max_total_time="$seconds" -max_len=1048576 -timeout=5 -rss_limit_mb=2048 \
    -report_slow_units=5 -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" >"$log" 2>&1 || status=$?
  # The figures of the run: executions, coverage and time.
  runs=$(grep -oE 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -oE '[0-9]+$' || echo 0)
  cov=$(grep -oE 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -1 || true)
  took=$(grep -oE 'Done [0-9]+ runs in [0-9]+ second' "$log" | grep -oE 'in [0-9]+' | grep -oE '[0-9]+' || echo "?")
  echo "fuzz_$h: $runs executions, $cov, ${took} s, exit $status, findings: $(ls "$findings" | wc -l)"
done
