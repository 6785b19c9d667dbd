#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need (Debian 12, as root).
set -euo pipefail
packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev qt6-translations-l10n
  unixodbc unixodbc-dev odbc-postgresql libsqliteodbc sqlite3
  libgtest-dev libgmock-dev
  postgresql
  xvfb xauth fonts-wqy-microhei tango-icon-theme
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
