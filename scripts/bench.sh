#!/usr/bin/env bash
# Builds the benchmarks in Release, generates the archives they need once
# (10,000, 100,000 and 1,000,000 cards, kept under build-bench/bench-data),
# runs the whole suite, each case interleaved with its reference in random
# order, and prints the table (Markdown) with medians and spread.
#   TAVOLUX_BENCH_REPS=n   repetitions per case (at least 5; 7 by default)
#   TAVOLUX_BENCH_SEED=n   fixes the interleaving order
# Extra arguments go to the runner, e.g. --benchmark_filter=find-dialog.
# The mailing's peer case runs Debian's glabels (glabels-3-batch), installed
# here for the benchmarks only: the program never uses it.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build="$here/build-bench"

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
missing=()
for p in cmake g++ pkg-config qt6-base-dev qt6-base-private-dev qt6-svg-dev libgl-dev libxcb1-dev libxlsxwriter-dev libminizip-dev \
         libbenchmark-dev fonts-liberation2 fonts-dejavu-core glabels; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTAVOLUX_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target tavolux_bench
data="$build/bench-data"
mkdir -p "$data"
echo "$(date -u '+%Y-%m-%d %H:%M UTC'), load average before the run: $(cut -d' ' -f1-3 /proc/loadavg)"
QT_QPA_PLATFORM=offscreen TAVOLUX_BENCH_DATA="$data" "$build/bench/tavolux_bench" "$@"
echo "load average after the run: $(cut -d' ' -f1-3 /proc/loadavg)"
