#!/usr/bin/env bash
# Installs the library component of the build tree into a scratch prefix, then builds and runs a small C program against
# it twice: once through pkg-config, once through the CMake package.
# Usage: install_and_consume.sh BUILD_DIR SOURCE_DIR C_COMPILER
set -euo pipefail
build_dir=$1
source_dir=$2
cc=$3

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix

cmake --install "$build_dir" --prefix "$prefix" --component library >"$scratch/install.log" ||
    { cat "$scratch/install.log"; exit 1; }

for file in rfsense/rfsense.h rfsim/rfsim.h; do
    [[ -f $prefix/include/$file ]] || { echo "missing include/$file"; exit 1; }
done
rules=$(find "$prefix" -path '*/udev/rules.d/60-rfsense.rules')
[[ -n $rules ]] || { echo "missing the udev rule"; exit 1; }
pcdir=$(dirname "$(find "$prefix" -name rfsense.pc)")

echo "== pkg-config"
export PKG_CONFIG_PATH=$pcdir
# shellcheck disable=SC2046
"$cc" -std=c99 -Wall -Werror -o "$scratch/consumer-pc" "$source_dir/consumer.c" \
    $(pkg-config --cflags --libs rfsense rfsim)
LD_LIBRARY_PATH=$(pkg-config --variable=libdir rfsense) "$scratch/consumer-pc"

echo "== find_package"
cmake -S "$source_dir/cmake-consumer" -B "$scratch/cmake-build" -DCMAKE_C_COMPILER="$cc" \
    -DCMAKE_PREFIX_PATH="$prefix" >"$scratch/configure.log" ||
    { cat "$scratch/configure.log"; exit 1; }
cmake --build "$scratch/cmake-build" >"$scratch/build.log" || { cat "$scratch/build.log"; exit 1; }
"$scratch/cmake-build/consumer"
