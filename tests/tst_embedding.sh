#!/usr/bin/env bash
# Tavolux added to another CMake project with add_subdirectory: it configures,
# builds the libraries the other project uses, and these work.
set -eu
source=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake -S "$source/tests/embedding" -B "$work" -DTAVOLUX_SOURCE="$source" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$work" --target uses_tavolux -j2 >/dev/null
"$work/uses_tavolux"
echo "PASS: embedded build"
