#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine if needed, builds everything and runs the whole test suite.
# Usage: scripts/test.sh [extra ctest options...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh"
cd "${BUILD_DIR:-$root/build}"
ctest --output-on-failure -j2 --timeout 600 "$@"
