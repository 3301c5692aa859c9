#!/usr/bin/env bash
# Builds the Debian package in a release build of its own (build-package/, prefix /usr) and
# checks it: lintian must report no error, and the desktop entries, the metainfo file and the
# manual pages must pass their validators. Prints the lintian warnings that remain.
# Usage: scripts/check-package.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PACKAGE_BUILD_DIR:-$root/build-package}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DRFSENSE_BUILD_TESTS=OFF -DRFSENSE_BUILD_BENCH=OFF
cmake --build "$build" -j2
(cd "$build" && cpack)
deb=$(ls "$build"/rfsense_*.deb)
echo "== lintian $deb"
report=$(lintian --tag-display-limit 0 "$deb" 2>&1 || true)
echo "$report"
failed=0
if grep -q '^E:' <<<"$report"; then
    echo "FAIL: lintian reports errors" >&2
    failed=1
fi
echo "== validators"
desktop-file-validate "$root"/packaging/desktop/*.desktop || failed=1
appstreamcli validate --no-net "$root"/packaging/desktop/org.rfsense.meterdesk.metainfo.xml ||
    failed=1
for page in "$root"/packaging/man/*.1; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
    if [[ -n $warnings ]]; then
        echo "FAIL: $page: $warnings" >&2
        failed=1
    fi
done
if readelf -d "$build"/sensor-setup/sensor-setup | grep -E -q 'RPATH|RUNPATH'; then
    echo "FAIL: sensor-setup carries an RPATH" >&2
    failed=1
fi
((failed == 0)) && echo "check-package: passed"
exit "$failed"
