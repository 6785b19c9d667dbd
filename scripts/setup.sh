#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine and starts Tarnvale on its demo data source: installs the
# packages, builds (the build folder is laid out as an installation), creates the demo database,
# registers it as the user data source "TarnvaleDemo" and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
scripts/demo-dsn.sh build/install
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-}" ]; then
  echo "No display: starting Tarnvale under xvfb-run."
  exec xvfb-run -a -s "-screen 0 1280x1024x24" build/install/Tarnvale
fi
exec build/install/Tarnvale
