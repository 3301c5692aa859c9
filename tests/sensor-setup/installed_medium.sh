#!/usr/bin/env bash
# The medium the build lays out, installed by sensor-setup --batch into a scratch target: the
# meter runs from there with its libraries resolved there (no LD_LIBRARY_PATH), and the
# installer itself links neither the sensor library nor Qt Multimedia.
# Usage: installed_medium.sh BUILD_DIR SENSOR_SETUP
set -euo pipefail
build=$1
setup=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export HOME=$scratch/home
unset XDG_STATE_HOME XDG_DATA_HOME XDG_CONFIG_HOME QUORIX_HOME LD_LIBRARY_PATH
mkdir -p "$HOME"
target=$scratch/target

"$setup" --batch --source "$build/Installation" --target "$target" --no-desktop --no-menu
"$target/meterdesk" --help | grep -q -- --simulate
resolved=$(ldd "$target/meterdesk")
for library in librfsense.so.3 librfsim.so.1; do
    if ! grep -q "$library => $target/$library" <<<"$resolved"; then
        echo "FAIL: $library does not resolve in the target:" >&2
        echo "$resolved" >&2
        exit 1
    fi
done
needed=$(readelf -d "$setup" | grep NEEDED)
if grep -E -q 'librfsense|Multimedia|PrintSupport' <<<"$needed"; then
    echo "FAIL: sensor-setup links more than it needs:" >&2
    echo "$needed" >&2
    exit 1
fi
"$setup" --uninstall --target "$target"
test ! -e "$target"
echo "1 passed, 0 failed"
