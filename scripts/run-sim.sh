#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine if needed, builds the command-line meter and starts it on the
# simulated sensor, printing readings until Ctrl+C.
# Usage: scripts/run-sim.sh [CONFIG_FILE] [more options for "rfsense read"...]
#   CONFIG_FILE is a simulator configuration (see rfsim/README.md); without it the sensor of
#   scripts/demo-sensor.conf is used: -20 dBm at 1 GHz, readings paced like a real sensor's.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-$root/build}
simulate=--simulate=$root/scripts/demo-sensor.conf
if (($# > 0)) && [[ $1 != -* ]]; then
    simulate=--simulate=$(realpath "$1")
    shift
fi
bash "$root/scripts/install-deps.sh"
TARGETS=rfsense_cli bash "$root/scripts/build.sh"
exec "$build_dir/tools/rfsense-cli/rfsense" "$simulate" read --continuous "$@"
