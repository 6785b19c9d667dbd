#!/usr/bin/env bash
# Builds the installation medium: a folder laid out as the installer's source folder (the setup
# wizard Install, the program as "Tarnvale.ex_", the search library, the keyword files, the settings
# file, the icon and the user manual), from which Install is started.
#   make-medium.sh [folder]      (default: build/medium)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
medium=${1:-$top/build/medium}
# A folder given relatively lies below the folder the command was typed in.
case $medium in /*) ;; *) medium=$PWD/$medium ;; esac
cd "$top"
if [ -e "$medium" ] && [ -n "$(ls -A "$medium")" ] && [ ! -e "$medium/Install" ]; then
  echo "make-medium.sh: $medium is not empty and holds no earlier medium; choose another folder" >&2
  exit 1
fi
scripts/install-deps.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
from=build/install
rm -rf "$medium"
mkdir -p "$medium"
# The programs and the library go without their debugging information.
strip --strip-debug -o "$medium/Install" "$from/Install"
strip --strip-debug -o "$medium/Tarnvale.ex_" "$from/Tarnvale"
strip --strip-debug -o "$medium/libOstrel.so" "$from/libOstrel.so"
chmod 755 "$medium/Install" "$medium/Tarnvale.ex_" "$medium/libOstrel.so"
for name in SRCREQU_1.DAT SRCREQU_2.DAT SRCREQU_3.DAT SRCREQU_4.DAT SRCREQU_5.DAT SRCREQU_6.DAT \
            SRCREQU_7.DAT SRCREQU_8.DAT Tarnvale.ini Tarnvale.png "Tarnvale使用手册.doc"; do
  install -m 644 "$from/$name" "$medium/$name"
done
echo "Installation medium: $medium (start $medium/Install)"
