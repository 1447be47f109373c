#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs each for the given seconds (600 by default).
# Usage: scripts/fuzz.sh [seconds] [target ...]   (all targets when none is named)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build="$here/build-fuzz"
seconds=${1:-600}

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
missing=()
for p in clang libclang-rt-14-dev cmake qt6-base-dev libqt6svg6-dev libgl-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVOLUX_FUZZ=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fsanitize=fuzzer-no-link -fno-sanitize-recover=undefined" >/dev/null
shift || true
targets=${*:-$(sed -n 's/^tavolux_fuzzer(\([a-z_]*\).*/\1/p' "$here/fuzz/CMakeLists.txt")}
cmake --build "$build" -j"$(nproc)" --target $targets

export ASAN_OPTIONS=detect_leaks=0
for target in $targets; do
  corpus="$here/tests/fuzz-corpus/${target#fuzz_}"
  work="$build/corpus/${target#fuzz_}"
  mkdir -p "$corpus" "$work" "$build/artifacts"
  echo "== $target: $seconds s"
  "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$build/artifacts/${target#fuzz_}-" \
      "$work" "$corpus" 2>&1 | grep -E "stat::number_of_executed_units|stat::peak_rss|ERROR|SUMMARY|Done" || true
done
