#!/usr/bin/env bash
# Builds the libFuzzer programs with clang and runs each for a bounded time, starting from the
# committed seeds. New inputs go to build/fuzz/corpus/<name>, findings to build/fuzz/findings/.
# Then reads and saves a guest file of a million records in a Release build.
# Usage: fuzz/run.sh [seconds per target] [target ...]   (from the project root; `make fuzz`)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-${FUZZ_SECONDS:-30}}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fields guest_line guest_file guest_reader price_matrix conversions icalendar_reader)
jobs="${JOBS:-2}"
build=build/fuzz

cmake -S "${FUZZ_SOURCE_DIR:-.}" -B "$build" -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZIMBRANA_SANITIZE=ON -DZIMBRANA_TESTS=OFF -DZIMBRANA_FUZZ=ON >/dev/null
cmake --build "$build" -j"$jobs" --target fuzz_all

# Qt keeps caches for the life of the process; they are not leaks of the code under test.
export ASAN_OPTIONS="detect_leaks=0:${ASAN_OPTIONS:-}"
command -v llvm-symbolizer-14 >/dev/null && export ASAN_SYMBOLIZER_PATH="$(command -v llvm-symbolizer-14)"

status=0
for name in "${targets[@]}"; do
  corpus="$build/corpus/$name"
  findings="$build/findings/$name"
  mkdir -p "$corpus" "$findings"
  echo "== fuzz_$name for ${seconds}s"
  # The byte reader starts from the guest file's and the guest line's seeds as well as its own.
  seeds=("fuzz/corpus/$name")
  [ "$name" = guest_reader ] && seeds+=(fuzz/corpus/guest_file fuzz/corpus/guest_line)
  # -max_len keeps single inputs small enough for many runs per second; the 10 MB cases are in
  # the hardening tests. The seeds are read, never written.
  if ! "$build/fuzz/fuzz_$name" -max_total_time="$seconds" -max_len=8192 -timeout=10 -rss_limit_mb=4096 \
      -detect_leaks=0 -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" "${seeds[@]}" \
      2>"$build/fuzz_$name.log"; then
    status=1
    echo "fuzz_$name FOUND A FAULT: see $build/fuzz_$name.log and $findings/"
    tail -n 40 "$build/fuzz_$name.log"
  fi
  grep -E "^stat::number_of_executed_units|^stat::peak_rss_mb" "$build/fuzz_$name.log" || true
done

# The million-record file, which the sanitizer build of `make test` cuts to 200,000.
echo "== a guest file of a million records, Release build"
release=build/release-check
cmake -S "${FUZZ_SOURCE_DIR:-.}" -B "$release" -DCMAKE_BUILD_TYPE=Release -DZIMBRANA_SANITIZE=OFF \
  -DZIMBRANA_TESTS=ON >/dev/null
cmake --build "$release" -j"$jobs" --target test_badfiles
badfiles="$(find "$release" -type f -name test_badfiles -perm -u+x | head -n 1)"
if ! ZIMBRANA_HARDENING_RECORDS=1000000 QT_QPA_PLATFORM=offscreen "$badfiles" millionRecords; then
  status=1
fi
exit $status
