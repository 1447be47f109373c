#!/usr/bin/env bash
# The reliability runs in one go: the multi-process soak, the kill loops and
# the failing-disk tests (with their counts), the damaged-archive test, then
# every fuzzer for the given seconds (600 by default).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-600}

"$here/scripts/setup.sh" deps
cmake -S "$here" -B "$here/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$here/build" -j"$(nproc)" --target tst_storage_processes tst_damaged tst_addresswindow
cd "$here/build/tests"
export QT_QPA_PLATFORM=offscreen
./tst_storage_processes
./tst_damaged
./tst_addresswindow fullDiskGivesAccessDeniedAndKeepsCards unopenableArchiveKeepsShownCard
"$here/scripts/fuzz.sh" "$seconds"
