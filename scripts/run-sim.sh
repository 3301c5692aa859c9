#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine if needed, builds the meter application and starts it on the
# simulated sensor ("meterdesk --simulate"); closing the window (or Ctrl+C) stops it.
# Usage: scripts/run-sim.sh [CONFIG_FILE] [more meterdesk options...]
#   CONFIG_FILE is a simulator configuration (see rfsim/README.md); without it the sensor of
#   scripts/demo-sensor.conf is used: -20 dBm at 50 MHz, readings paced like a real sensor's.
# Without a display (no DISPLAY or WAYLAND_DISPLAY, and no QT_QPA_PLATFORM) the window cannot be
# shown: the script says so and runs the command-line meter on the same sensor instead, printing
# readings until Ctrl+C. "xvfb-run -a build/meterdesk/meterdesk --simulate" runs the window on
# an invisible virtual X server.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-$root/build}
simulate=--simulate=$root/scripts/demo-sensor.conf
if (($# > 0)) && [[ $1 != -* ]]; then
    simulate=--simulate=$(realpath "$1")
    shift
fi
bash "$root/scripts/install-deps.sh"
if [[ -n ${DISPLAY:-} || -n ${WAYLAND_DISPLAY:-} || -n ${QT_QPA_PLATFORM:-} ]]; then
    TARGETS=meterdesk bash "$root/scripts/build.sh"
    exec "$build_dir/meterdesk/meterdesk" "$simulate" "$@"
fi
echo "run-sim: no display for the meter's window (DISPLAY and WAYLAND_DISPLAY are not set)." >&2
echo "run-sim: showing the command-line meter instead; for the window use a desktop session," >&2
echo "run-sim: or 'xvfb-run -a $build_dir/meterdesk/meterdesk --simulate' (virtual X server)." >&2
TARGETS=rfsense_cli bash "$root/scripts/build.sh"
exec "$build_dir/tools/rfsense-cli/rfsense" "$simulate" read --continuous
