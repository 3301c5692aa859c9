#!/usr/bin/env bash
# Builds the Debian package in a release build of its own (build-package/, prefix /usr) and
# checks it: lintian must report no error (the warnings that remain are printed), the desktop
# entries and the metainfo file shipped in the package must pass their validators, the manual
# pages must format without warnings, the programs carry no RPATH and every hicolor icon size
# is in the package.
#
# With --clean-root it also installs the package in a fresh Debian 12 root made by mmdebstrap
# (root, and a Debian mirror, needed): there `rfsense --simulate read -n 1` must print a reading
# and `xvfb-run meterdesk --simulate` must show its window, lay out ~/.local/share/Quorix and
# end with status 0 on SIGTERM. The screenshot is left in the build folder.
#
# Usage: scripts/check-package.sh [--clean-root]
#   PACKAGE_BUILD_DIR   the build folder (default build-package/)
#   DEBIAN_MIRROR       the mirror for --clean-root (default http://deb.debian.org/debian)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PACKAGE_BUILD_DIR:-$root/build-package}
clean_root=0
for arg in "$@"; do
    case $arg in
    --clean-root) clean_root=1 ;;
    -h | --help)
        sed -n '2,15p' "$0"
        exit 0
        ;;
    *)
        echo "check-package: unknown option $arg (try --help)" >&2
        exit 2
        ;;
    esac
done

nice cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX=/usr -DRFSENSE_BUILD_TESTS=OFF
nice cmake --build "$build" -j2
rm -f "$build"/rfsense_*.deb
(cd "$build" && nice cpack)
deb=$(ls "$build"/rfsense_*.deb)
failed=0
fail() {
    echo "FAIL: $*" >&2
    failed=1
}

echo "== lintian $deb"
report=$(lintian --tag-display-limit 0 "$deb" 2>&1 || true)
echo "${report:-(no tags)}"
grep -q '^E:' <<<"$report" && fail "lintian reports errors"
echo "lintian: $(grep -c '^E:' <<<"$report" || true) errors," \
    "$(grep -c '^W:' <<<"$report" || true) warnings"

# The rest looks at the files as the package installs them.
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"

echo "== desktop-file-validate"
for entry in "$unpacked"/usr/share/applications/*.desktop; do
    desktop-file-validate "$entry" || fail "${entry#"$unpacked"}"
    echo "${entry#"$unpacked"}: checked"
done
echo "== appstreamcli validate --no-net"
appstreamcli validate --no-net "$unpacked"/usr/share/metainfo/*.metainfo.xml ||
    fail "the metainfo file"

echo "== manual pages"
for page in "$unpacked"/usr/share/man/man1/*.1.gz; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
    [[ -z $warnings ]] || fail "${page#"$unpacked"}: $warnings"
    echo "${page#"$unpacked"}: checked"
done

echo "== programs, medium and icons"
for program in rfsense meterdesk sensor-setup; do
    if readelf -d "$unpacked/usr/bin/$program" | grep -E -q 'RPATH|RUNPATH'; then
        fail "$program carries an RPATH"
    fi
done
for size in 16 22 24 32 48 64 128 256; do
    icon=usr/share/icons/hicolor/${size}x${size}/apps/org.rfsense.meterdesk.png
    if [[ ! -f $unpacked/$icon ]]; then
        fail "the package lacks /$icon"
    elif ! file "$unpacked/$icon" | grep -q "PNG image data, $size x $size"; then
        fail "/$icon is not a $size x $size PNG"
    fi
done
# The medium in /usr/share/meterdesk: its help files, but no application or libraries of its
# own (the meter lays out the user's folders from it and runs the packaged programs).
medium=$unpacked/usr/share/meterdesk
[[ -f $medium/hts10.dat && -f $medium/hts11.dat ]] || fail "the medium lacks its help files"
for folder in app DLL; do
    [[ ! -e $medium/$folder ]] || fail "the medium holds /usr/share/meterdesk/$folder"
done
[[ -f $unpacked/usr/share/icons/hicolor/scalable/apps/org.rfsense.meterdesk.svg ]] ||
    fail "the package lacks the scalable icon"
echo "icons: $(find "$unpacked"/usr/share/icons -type f | sort | sed "s|$unpacked||" | tr '\n' ' ')"

if ((clean_root)); then
    echo "== clean Debian 12 root"
    log=$build/clean-root.log
    # The root gets the package through a hook; apt then resolves its dependencies. The check
    # runs inside the root as an ordinary user and leaves its screenshot in /tmp.
    cat >"$build/clean-root-check.sh" <<'CHECK'
set -eu
reading=$(rfsense --simulate read -n 1)
echo "rfsense: $reading"
[ -n "$reading" ]
cd /home/tester
export HOME=/home/tester
unset XDG_DATA_HOME XDG_STATE_HOME XDG_CONFIG_HOME
xvfb-run -a -s '-screen 0 1280x1024x24' sh -c '
    meterdesk --simulate & pid=$!
    window=
    for i in $(seq 60); do
        window=$(xdotool search --name "^Zyn Quorix USB Power Sensor$" 2>/dev/null | head -n 1) || true
        [ -n "$window" ] && break
        sleep 0.5
    done
    if [ -z "$window" ]; then echo "no meter window"; kill $pid; exit 1; fi
    echo "window $window: $(xdotool getwindowname "$window")"
    sleep 2
    xwd -root -silent >/tmp/meterdesk.xwd
    kill -TERM $pid
    wait $pid; status=$?
    echo "meterdesk exit status $status"
    [ "$status" -eq 0 ]'
[ -d /home/tester/.local/share/Quorix ] && echo "laid out: $(ls /home/tester/.local/share/Quorix | tr '\n' ' ')"
[ -d /home/tester/.local/share/Quorix ]
CHECK
    if nice mmdebstrap --variant=apt --include=passwd,xvfb,xauth,x11-apps,xdotool,fonts-liberation2 \
        --customize-hook="copy-in $deb $build/clean-root-check.sh /tmp" \
        --customize-hook="chroot \"\$1\" sh -c 'apt-get install -y -q --no-install-recommends /tmp/$(basename "$deb")'" \
        --customize-hook="chroot \"\$1\" useradd -m tester" \
        --customize-hook="chroot \"\$1\" runuser -u tester -- sh /tmp/clean-root-check.sh" \
        --customize-hook="copy-out /tmp/meterdesk.xwd $build" \
        bookworm /dev/null "${DEBIAN_MIRROR:-http://deb.debian.org/debian}" >"$log" 2>&1; then
        grep -E '^(rfsense:|window|meterdesk exit|laid out)' "$log" || true
        echo "clean root: passed (screenshot $build/meterdesk.xwd, log $log)"
    else
        tail -n 30 "$log"
        fail "the clean-root check (log $log)"
    fi
fi

((failed == 0)) && echo "check-package: passed"
exit "$failed"
