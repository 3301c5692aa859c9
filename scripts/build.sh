#!/usr/bin/env bash
# Configures and builds the whole project into build/ with two parallel jobs.
# Usage: scripts/build.sh [extra cmake configure options...]
#   Set in the environment: BUILD_DIR (default build/), BUILD_TYPE (default Debug, the
#   configuration the suite is developed and checked in), TARGETS="a b" to build only those.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-$root/build}
generator=()
# Keep the generator of an existing build folder; otherwise prefer Ninja.
if [[ ! -f $build_dir/CMakeCache.txt ]] && command -v ninja >/dev/null; then
    generator=(-G Ninja)
fi
cmake -S "$root" -B "$build_dir" "${generator[@]}" \
    -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-Debug}" "$@"
targets=()
for target in ${TARGETS:-}; do targets+=(--target "$target"); done
cmake --build "$build_dir" -j2 "${targets[@]}"
