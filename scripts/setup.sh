#!/usr/bin/env bash
# Installs what a fresh Debian machine is missing, builds Tavolux, then either
# starts it (`start`) or runs the whole test suite (`test`).
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build="$here/build"
action=${1:-start}

packages=(cmake g++ make qt6-base-dev qt6-svg-dev libgl-dev
          fonts-liberation2 fonts-dejavu-core
          cups cups-client printer-driver-cups-pdf poppler-utils mupdf-tools
          libreoffice-calc-nogui)

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

[ "$action" = deps ] && exit 0

cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)"

case "$action" in
  start)
    exec "$build/bin/Tavolux"
    ;;
  test)
    # The printing tests print through a cups-pdf queue of their own; the
    # script tells them its name and where the PDF files land.
    trap '"$here/scripts/print-queue.sh" stop' EXIT
    eval "$("$here/scripts/print-queue.sh" start)"
    cd "$build"
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
    ;;
  *)
    echo "usage: $0 start|test" >&2
    exit 2
    ;;
esac
