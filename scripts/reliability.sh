#!/usr/bin/env bash
# The reliability runs in one go, with their counts: the multi-process soaks
# (mixed writers; readers during overwrites, longer than in the test suite),
# the kill loops (appends, settings writes, the export, the password change),
# the lock wait limit, the failing-disk tests (a file size limit, and a small
# tmpfs that is full for real, for every writer), folders where only the file
# may be written, odd and damaged files, then every fuzzer for the given
# seconds (600 by default). The tmpfs and other-user runs need root and are
# skipped otherwise.
# Usage: scripts/reliability.sh [fuzz seconds] ; SOAK_MS and KILL_ROUNDS set the lengths.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-600}
export TAVOLUX_SOAK_MS=${SOAK_MS:-60000}
export TAVOLUX_KILL_ROUNDS=${KILL_ROUNDS:-100}

"$here/scripts/setup.sh" deps
cmake -S "$here" -B "$here/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$here/build" -j"$(nproc)" --target tst_storage_processes tst_damaged tst_addresswindow \
  tst_writers tst_platform tst_access tst_printing tst_attachments tst_spreadsheet
cd "$here/build/tests"
export QT_QPA_PLATFORM=offscreen
echo "== soaks, kill loops, lock wait (soak $TAVOLUX_SOAK_MS ms, $TAVOLUX_KILL_ROUNDS kills per loop)"
./tst_storage_processes
echo "== full disk and folders with only writable files"
./tst_writers
./tst_addresswindow fullDiskGivesAccessDeniedAndKeepsCards unopenableArchiveKeepsShownCard saveWhileAnotherCopyHoldsTheFile
echo "== odd and damaged files"
./tst_damaged
./tst_platform iniOddFilesAreDamaged iniByteOrderMark iniFullDiskKeepsOldFile
./tst_access oddStoreIsUnreadable loginStoreWithByteOrderMark failedWriteKeepsOldStore
./tst_printing envelopeFailuresWarn envelopeSteps
./tst_attachments onlyFilesInsideTheFolderAreOpened nonBareNameIsNeverOpened
echo "== spreadsheet writer at its buffer edges (address sanitizer)"
./tst_spreadsheet
"$here/scripts/fuzz.sh" "$seconds"
