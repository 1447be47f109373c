#!/usr/bin/env bash
# Installs what a fresh Debian machine is missing, builds Tavolux, then either
# installs it into its program folder and starts it (`start [folder]`, the
# folder being ~/Tavolux unless given; running it again upgrades the program
# and keeps the archives, settings, password and attachments), or runs the
# whole test suite (`test`, which also installs what only the tests need).
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build="$here/build"
action=${1:-start}

# What building and running Tavolux needs: the build tools, Qt and its Italian
# translations, the fonts, xdg-utils, through which documents, the web site
# and mail links open, libxlsxwriter for the .xlsx export and minizip to read
# that file back, and glabels-data, the catalogue of label products the
# label formats are chosen from.
packages=(cmake g++ make pkg-config qt6-base-dev qt6-base-private-dev qt6-svg-dev libgl-dev libxcb1-dev
          qt6-translations-l10n fonts-liberation2 fonts-dejavu-core xdg-utils
          libxlsxwriter-dev libminizip-dev glabels-data)
# What only the tests need: printing through a PDF queue and reading it back
# (with the attributes of its jobs),
# a spreadsheet program, and a real X server with two window managers (xfwm4
# reads its settings through a session bus) and screenshots of it, and the
# assistive-technology bus that screen readers use, walked from Python.
test_packages=(cups cups-client cups-ipp-utils printer-driver-cups-pdf poppler-utils mupdf-tools
               libreoffice-calc-nogui xvfb openbox xfwm4 xfconf dbus-daemon x11-utils xdotool imagemagick
               desktop-file-utils appstream at-spi2-core python3-pyatspi python3)
[ "$action" = start ] || packages+=("${test_packages[@]}")

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
    folder=${2:-$HOME/Tavolux}
    mkdir -p "$folder"
    folder=$(cd "$folder" && pwd)
    cmake --install "$build" --prefix "$folder"
    # The desktop entry and icons for this user, pointing at the program folder.
    data=${XDG_DATA_HOME:-$HOME/.local/share}
    mkdir -p "$data/applications" "$data/icons"
    cp -r "$folder/share/icons/hicolor" "$data/icons/"
    sed "s|^Exec=.*|Exec=\"$folder/Tavolux\"|" "$folder/share/applications/it.tavolux.Tavolux.desktop" \
      > "$data/applications/it.tavolux.Tavolux.desktop"
    command -v update-desktop-database >/dev/null && update-desktop-database "$data/applications" || true
    exec "$folder/Tavolux"
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
