#!/usr/bin/env bash
# Fuzzing: builds the fuzz targets of tests/fuzz with clang's libFuzzer and the
# address and undefined-behaviour sanitizers (its own build folder, build-fuzz/
# unless TAVIK_FUZZ_BUILD names another), then runs every target, or the ones
# named, for SECONDS seconds each (default 60). Each target starts from its seed
# corpus in tests/fuzz/corpus/<name>/ plus what earlier runs found
# (<build>/corpus/<name>/). Prints the executions of each target; exits 1 on any
# finding, whose input is left in <build>/findings/.
#
#   tools/fuzz.sh [SECONDS] [NAME...]      e.g. tools/fuzz.sh 20, tools/fuzz.sh 300 Render
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
[ $# -gt 0 ] && shift
build=${TAVIK_FUZZ_BUILD:-build-fuzz}

if [ ! -f "$build/CMakeCache.txt" ]; then
  CC=clang-14 CXX=clang++-14 cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTAVIK_BUILD_FUZZ=ON -DTAVIK_BUILD_TESTS=OFF -DTAVIK_BUILD_BENCH=OFF -DTAVIK_BUILD_GUI=OFF \
    -DTAVIK_SANITIZE="address;undefined" >/dev/null
fi
cmake --build "$build" --target tavik_fuzzers

names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  for bin in "$build"/bin/tavik_fuzz_*; do names+=("${bin##*/tavik_fuzz_}"); done
fi

export QT_QPA_PLATFORM=offscreen
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp"
mkdir -p "$build/findings"
failed=0
for name in "${names[@]}"; do
  corpus="$build/corpus/$name"
  mkdir -p "$corpus"
  log="$build/findings/$name.log"
  if "$build/bin/tavik_fuzz_$name" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
       -print_final_stats=1 -artifact_prefix="$build/findings/$name-" \
       "$corpus" "tests/fuzz/corpus/$name" >"$log" 2>&1; then
    runs=$(grep -m1 'stat::number_of_executed_units' "$log" | awk '{print $2}')
    echo "$name: ${runs:-?} executions, no finding"
  else
    echo "$name: FINDING (see $log)"
    grep -m5 -E 'ERROR|runtime error|SUMMARY|deadly signal|Test unit written' "$log" || true
    failed=1
  fi
done
exit $failed
