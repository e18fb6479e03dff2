#!/usr/bin/env bash
# Speed and memory figures of Zimbrana: installs what is missing, builds a Release without
# sanitizers in build/bench (only there, with -DZIMBRANA_BENCH=ON) and runs every benchmark
# program. Arguments go to each program, e.g. --benchmark_filter=Read. See bench/README.md.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build/bench"
JOBS="${JOBS:-2}"

PACKAGES=(cmake g++ make qt6-base-dev qt6-base-dev-tools qt6-charts-dev libqt6opengl6-dev qt6-translations-l10n fonts-liberation libbenchmark-dev)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if ((${#missing[@]})); then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DZIMBRANA_BENCH=ON -DZIMBRANA_TESTS=OFF \
  -DZIMBRANA_SANITIZE=OFF >/dev/null
cmake --build "$BUILD" -j"$JOBS" --target benchmarks

# The window benchmarks need no display.
export QT_QPA_PLATFORM=offscreen
RESULTS="$BUILD/results.txt"
: >"$RESULTS"
for program in bench_holidays bench_calendar bench_occupancy bench_guestfile bench_startup bench_guestlist; do
  echo "=== $program" | tee -a "$RESULTS"
  "$BUILD/bench/$program" "$@" 2>&1 | tee -a "$RESULTS"
done

echo
echo "All targets (medians; the full log is in $RESULTS):"
grep -F "(target <=" "$RESULTS" || true
if grep -qE "MISSED|ERROR" "$RESULTS"; then
  echo "Some targets were missed, see above."
fi
