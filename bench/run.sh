#!/usr/bin/env bash
# Speed and memory figures of Zimbrana: installs what is missing, builds a Release without
# sanitizers in build/bench (only there, with -DZIMBRANA_BENCH=ON) and runs every benchmark
# program (or those named in BENCH_PROGRAMS). Arguments go to each program, e.g.
# --benchmark_filter=Read. Fails when a figure could not be measured. See bench/README.md.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build/bench"
JOBS="${JOBS:-2}"

# python3 and sqlite3 are the peers bench_guestfile compares with (bench/peers.py).
PACKAGES=(cmake g++ make qt6-base-dev qt6-base-dev-tools qt6-charts-dev libqt6opengl6-dev qt6-translations-l10n
  fonts-liberation libbenchmark-dev python3 sqlite3)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if ((${#missing[@]})); then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  echo "Installing: ${missing[*]}"
  $SUDO apt-get -o DPkg::Lock::Timeout=900 update -qq
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 install -y -qq \
    --no-install-recommends "${missing[@]}"
fi

cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DZIMBRANA_BENCH=ON -DZIMBRANA_TESTS=OFF \
  -DZIMBRANA_SANITIZE=OFF >/dev/null
cmake --build "$BUILD" -j"$JOBS" --target benchmarks

# The window benchmarks need no display.
export QT_QPA_PLATFORM=offscreen
RESULTS="$BUILD/results.txt"
: >"$RESULTS"
read -r -a programs <<<"${BENCH_PROGRAMS:-bench_holidays bench_calendar bench_occupancy bench_guestfile bench_startup bench_guestlist bench_journal}"
failed=()
for program in "${programs[@]}"; do
  echo "=== $program" | tee -a "$RESULTS"
  "$BUILD/bench/$program" "$@" 2>&1 | tee -a "$RESULTS" || failed+=("$program")
done

echo
echo "All targets (medians; the full log is in $RESULTS):"
grep -E "\(target <=|\(shown beside|ERROR" "$RESULTS" || true
if grep -q "MISSED" "$RESULTS"; then
  echo "Some targets were missed, see above."
fi
# A missed target may be a slow moment of a shared machine; a figure that could not be measured
# is a broken benchmark, and must not pass for one that holds.
if ((${#failed[@]})); then
  echo "FAILED: ${failed[*]} could not measure every figure (ERROR above)." >&2
  exit 1
fi
