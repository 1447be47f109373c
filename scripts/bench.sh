#!/usr/bin/env bash
# Builds the benchmarks in Release, generates the archives they need and
# prints one table: case, size, our time, the reference time, their ratio.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build="$here/build-bench"

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
missing=()
for p in cmake g++ qt6-base-dev libqt6svg6-dev libgl-dev libbenchmark-dev fonts-liberation2 fonts-dejavu-core; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTAVOLUX_BENCH=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target tavolux_bench
data="$build/bench-data"
mkdir -p "$data"
# Three repetitions of each case; the table shows their medians.
QT_QPA_PLATFORM=offscreen TAVOLUX_BENCH_DATA="$data" "$build/bench/tavolux_bench" \
  --benchmark_repetitions=3 --benchmark_report_aggregates_only=true "$@"
