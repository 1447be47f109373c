#!/usr/bin/env bash
# The whole test suite built with AddressSanitizer and UndefinedBehaviorSanitizer,
# then the tests of what runs on threads of its own (reading in parts, the
# card list's sort and lowered copy) built with ThreadSanitizer.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build="$here/build-asan"
tsan="$here/build-tsan"
threaded='^(tst_storage|tst_cardlist|tst_finddialog|tst_export)$'

"$here/scripts/setup.sh" deps
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS="-O1 -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build "$build" -j"$(nproc)"

trap '"$here/scripts/print-queue.sh" stop' EXIT
eval "$("$here/scripts/print-queue.sh" start)"
cd "$build"
# Leaks of the toolkit's own caches are not what this run looks for.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"

cmake -S "$here" -B "$tsan" -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS="-O1 -fsanitize=thread -fno-omit-frame-pointer" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" >/dev/null
cmake --build "$tsan" -j"$(nproc)" --target tst_storage tst_cardlist tst_finddialog tst_export
cd "$tsan"
# Qt is not built with the sanitizer: what it does inside its own libraries
# (Qt Test's watchdog thread) is not looked at. A process the tests start
# forks from one with threads, then runs its program.
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:ignore_noninstrumented_modules=1:die_after_fork=0
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -R "$threaded"
