#!/usr/bin/env bash
# Builds the fuzz targets with clang, libFuzzer and the sanitizers, and runs each one for the
# given number of seconds, starting from its corpus in tests/fuzz/corpus (which stays as it
# is: new inputs go to a scratch folder). A crash, a leak, undefined behaviour, a time-out or
# too much memory ends the run with an error and leaves the input in the build folder.
# Usage: tests/fuzz/run.sh [SECONDS] [BUILD_DIR]
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-60}
build=${2:-$root/build-fuzz}

CC=clang CXX=clang++ cmake -S "$root/tests/fuzz/libfuzzer" -B "$build" -G Ninja > /dev/null
cmake --build "$build" -j "$(nproc)"

export QT_QPA_PLATFORM=offscreen
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export ASAN_OPTIONS=quarantine_size_mb=64
export LSAN_OPTIONS=suppressions=$root/tests/fuzz/lsan.supp
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
targets=(skin_text image_reference packed_skin skin_paint)
for target in "${targets[@]}"; do
  mkdir -p "$scratch/$target"
  echo "fuzzing $target for $seconds s"
  (cd "$build" && "./fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 "$scratch/$target" "$root/tests/fuzz/corpus/$target" \
      2> "$build/fuzz_$target.log") || { tail -n 60 "$build/fuzz_$target.log"; exit 1; }
  grep -E "stat::number_of_executed_units|Done [0-9]+ runs" "$build/fuzz_$target.log" || true
done
echo "fuzz: ${#targets[@]} passed, 0 failed"
