#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs each for the given seconds (600 by default).
# Any finding (a crash, a sanitizer report, a failed check, a timeout) fails
# the script; the inputs that caused it are kept in build-fuzz/artifacts.
# Usage: scripts/fuzz.sh [seconds] [target ...]   (all targets when none is named)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build="$here/build-fuzz"
seconds=${1:-600}

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
missing=()
for p in clang libclang-rt-14-dev cmake pkg-config qt6-base-dev qt6-base-private-dev qt6-svg-dev libgl-dev libxcb1-dev \
         libxlsxwriter-dev libminizip-dev; do
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
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=()
for target in $targets; do
  name=${target#fuzz_}
  corpus="$here/tests/fuzz-corpus/$name"
  work="$build/corpus/$name"
  mkdir -p "$corpus" "$work" "$build/artifacts"
  extra=()
  if [ "$target" = fuzz_spreadsheet ]; then
    # Inputs of megabytes, and seeds that already fill a piece of the
    # writer's buffer (1 MB), so that mutations move the last row across its edge.
    extra=(-max_len=3145728)
    [ -f "$work/seed-piece-edge" ] || perl -e 'print "&" x 209650, "\t<x>\n", "a" x 1048000' >"$work/seed-piece-edge"
    [ -f "$work/seed-long-cell" ] || perl -e 'print "\t" x 8, "&" x 524300, "\n", "<>" x 1000' >"$work/seed-long-cell"
  fi
  log="$build/$target.log"
  stamp="$build/.started-$name"
  touch "$stamp"
  echo "== $target: $seconds s"
  set +e
  "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$build/artifacts/$name-" "${extra[@]}" "$work" "$corpus" >"$log" 2>&1
  rc=$?
  set -e
  grep -E "stat::number_of_executed_units|stat::peak_rss|ERROR|SUMMARY|Done" "$log" || true
  found=$(find "$build/artifacts" -name "$name-*" -newer "$stamp" | wc -l)
  if [ "$rc" -ne 0 ] || [ "$found" -gt 0 ] || grep -qE "^==[0-9]+==ERROR|runtime error:|deadly signal" "$log"; then
    echo "== $target FAILED (exit $rc, $found new artifacts); log: $log"
    failed+=("$target")
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found faults in: ${failed[*]}"
  exit 1
fi
echo "fuzzing: no findings"
