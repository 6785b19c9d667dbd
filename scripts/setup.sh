#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine: installs the packages, configures and builds Tarnvale.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
echo "Built into build/install."
