#!/usr/bin/env bash
# The installation is a program folder: installing writes the program files,
# installing again over a folder in use upgrades them and leaves every user
# file byte for byte as it was, the changed password included. The desktop
# entry and the metainfo validate, and the release archive unpacks into a
# folder that holds the same program.
#   tst_install.sh <source folder> <build folder> <folder_driver>
set -u
source=$1
build=$2
driver=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
folder="$work/Cartella del programma"
fail() { echo "FAIL: $*"; exit 1; }
drive() { QT_QPA_PLATFORM=offscreen "$driver" "$folder" "$@" >/dev/null 2>&1; }

cmake --install "$build" --prefix "$folder" >/dev/null || fail "install"
for f in Tavolux Guida.pdf unins000.dll share/applications/it.tavolux.Tavolux.desktop \
         share/metainfo/it.tavolux.Tavolux.metainfo.xml share/icons/hicolor/scalable/apps/it.tavolux.Tavolux.svg \
         share/icons/hicolor/48x48/apps/it.tavolux.Tavolux.png share/icons/hicolor/256x256/apps/it.tavolux.Tavolux.png; do
  [ -e "$folder/$f" ] || fail "the program folder lacks $f"
done
[ -x "$folder/Tavolux" ] || fail "Tavolux is not executable"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$folder/share/applications/it.tavolux.Tavolux.desktop" || fail "desktop entry"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$folder/share/metainfo/it.tavolux.Tavolux.metainfo.xml" >/dev/null || fail "metainfo"
fi

# The user works in the folder: cards, pages, settings, a new password, an
# attachment and an export, all through the program's windows.
drive login chiaveprovvisa || fail "the default password does not let the user in"
drive save Rossi 5 || fail "saving cards and pages"
drive settings 7 -3 || fail "saving the envelope settings"
drive password chiaveprovvisa "nuova chiave" || fail "changing the password"
head -c 50000 /dev/urandom > "$work/contratto.bin"
drive attach "$work/contratto.bin" || fail "attaching a document"
drive export || fail "exporting"
user_files=(Archivio_Indirizzi.pro Archivio_Etichette.pro Impostazioni.ini unins000.dll
            Documenti_Allegati/contratto.bin Archivio_Indirizzi.xls)
for f in "${user_files[@]}"; do [ -s "$folder/$f" ] || fail "the program did not write $f"; done
sums() { (cd "$folder" && sha256sum "${user_files[@]}"); }
before=$(sums)

# A new build of the program (its sources changed, the store tool relinked),
# installed over the folder.
touch "$source/src/main.cpp" "$source/src/access/DefaultStoreTool.cpp"
cmake --build "$build" --target Tavolux tavolux_default_store >/dev/null || fail "rebuilding"
cmake --install "$build" --prefix "$folder" >/dev/null || fail "upgrade"
[ "$(sums)" = "$before" ] || fail "the upgrade changed user files"
drive login "nuova chiave" || fail "the changed password no longer works after the upgrade"
drive login chiaveprovvisa && fail "the default password came back after the upgrade"
[ "$(QT_QPA_PLATFORM=offscreen "$driver" "$folder" count Rossi 2>/dev/null)" = "5 5" ] || fail "cards or pages lost"

# The release archive: one program folder, the same program.
if (cd "$build" && cpack -G TGZ >/dev/null 2>&1); then
  archive=$(ls "$build"/release/Tavolux-*.tar.gz | head -n1)
  mkdir "$work/unpacked" && tar -xzf "$archive" -C "$work/unpacked" || fail "unpacking the release archive"
  unpacked=$(find "$work/unpacked" -maxdepth 2 -name Tavolux -type f | head -n1)
  [ -n "$unpacked" ] || fail "the release archive holds no program"
  cmp -s "$unpacked" "$folder/Tavolux" || fail "the release archive holds another program"
  [ -s "$(dirname "$unpacked")/unins000.dll" ] || fail "the release archive holds no password store"
  QT_QPA_PLATFORM=offscreen "$driver" "$(dirname "$unpacked")" login chiaveprovvisa >/dev/null 2>&1 \
    || fail "the release archive's store does not hold the first-access password"
else
  fail "cpack"
fi
echo "PASS: installed, used, upgraded: user files unchanged"
