#!/usr/bin/env bash
# Installs the Debian 12 (bookworm) packages this project needs to build, test and run.
# Runs as root, or through sudo. Safe to run again: when everything is present it installs
# nothing and needs no network.
#
# Usage: scripts/install-deps.sh [--no-qt] [--no-xvfb]
#   --no-qt    skip Qt 6 (only the library, simulator, command-line meter and their tests)
#   --no-xvfb  skip the virtual X server used to look at the applications without a display
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config git
    libftdi1-dev libusb-1.0-0-dev
    nettle-dev # SHA-256 of the files the installer records
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    clang-format fonts-liberation2
    poppler-utils # pdftoppm: the printing test looks at the page it printed
    # the Python package's tests, and the SCPI server driven as a VISA instrument
    python3 python3-pytest python3-pyvisa python3-pyvisa-py
    clang libclang-rt-14-dev # the sanitizer builds of CI and scripts/fuzz.sh (libFuzzer)
    # scripts/check-package.sh: the package checkers and a clean root to install it in
    lintian desktop-file-utils appstream mmdebstrap
)
qt_packages=(
    qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-svg-dev libxkbcommon-dev
    gstreamer1.0-plugins-good # WAV playback for the meter's sounds
)
with_qt=1
with_xvfb=1
for arg in "$@"; do
    case $arg in
    --no-qt) with_qt=0 ;;
    --no-xvfb) with_xvfb=0 ;;
    -h | --help)
        sed -n '2,9p' "$0"
        exit 0
        ;;
    *)
        echo "install-deps: unknown option $arg (try --help)" >&2
        exit 2
        ;;
    esac
done
((with_qt)) && packages+=("${qt_packages[@]}")
((with_xvfb)) && packages+=(xvfb)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
if ((${#missing[@]} == 0)); then
    echo "install-deps: all ${#packages[@]} packages are installed."
    exit 0
fi

as_root=()
if ((EUID != 0)); then
    if ! command -v sudo >/dev/null; then
        echo "install-deps: run as root (sudo is not available) to install: ${missing[*]}" >&2
        exit 1
    fi
    as_root=(sudo)
fi
echo "install-deps: installing ${missing[*]}"
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -q --no-install-recommends "${missing[@]}"
