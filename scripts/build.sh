#!/usr/bin/env bash
# Configures and builds the whole project into build/ with two parallel jobs.
# Usage: scripts/build.sh [extra cmake configure options...]
#   BUILD_DIR (default build/) and BUILD_TYPE (default RelWithDebInfo) can be set in the
#   environment. TARGETS="a b" builds only those targets.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-$root/build}
generator=()
# Keep the generator of an existing build folder; otherwise prefer Ninja.
if [[ ! -f $build_dir/CMakeCache.txt ]] && command -v ninja >/dev/null; then
    generator=(-G Ninja)
fi
cmake -S "$root" -B "$build_dir" "${generator[@]}" \
    -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" "$@"
targets=()
for target in ${TARGETS:-}; do targets+=(--target "$target"); done
cmake --build "$build_dir" -j2 "${targets[@]}"
