#!/usr/bin/env bash
# Builds the fuzz harnesses (clang, libFuzzer with AddressSanitizer and UndefinedBehaviorSanitizer)
# and runs them: every harness, or the one named, for SECONDS each (default 60), two at a time.
# Each run starts from the seeds in fuzz/corpus/<name>/ and keeps what it finds in
# <build>/corpus/<name>/ (the repository's seeds are never changed). A crash, a hang of more than
# 1 s on one input, a leak or a sanitizer report fails the run; the input that caused it is left
# in <build>/findings/<name>/.
#
# Usage: scripts/fuzz.sh [TARGET] [SECONDS]     (TARGET: rfsim_config, scpi, ... or "all")
#   Set in the environment: FUZZ_BUILD_DIR (default build-fuzz/), FUZZ_JOBS (default 2),
#   FUZZ_RUNS (stop a harness after this many executions instead, when given).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
target=${1:-all}
seconds=${2:-60}
jobs=${FUZZ_JOBS:-2}

# A folder already configured for fuzzing is built as it is (CI's sanitizer build folder, which
# also holds the tests); otherwise an optimised fuzzing build is set up.
if ! grep -qx 'RFSENSE_SANITIZE:STRING=fuzzer' "$build/CMakeCache.txt" 2>/dev/null; then
    CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DRFSENSE_SANITIZE=fuzzer -DRFSENSE_BUILD_TESTS=OFF -DRFSENSE_BUILD_BENCH=OFF \
        -DRFSENSE_BUILD_APPS=OFF >/dev/null
fi
if [[ $target == all ]]; then
    cmake --build "$build" -j2 --target fuzz_all
    mapfile -t names < <(find "$root/fuzz" -maxdepth 1 -name '*_fuzz.cpp' -printf '%f\n' |
        sed 's/_fuzz\.cpp$//' | sort)
else
    cmake --build "$build" -j2 --target "${target}_fuzz"
    names=("$target")
fi

run_one() { # NAME
    local name=$1 corpus=$build/corpus/$1 findings=$build/findings/$1 log=$build/logs/$1.log
    mkdir -p "$corpus" "$findings" "$(dirname "$log")"
    [[ -d $root/fuzz/corpus/$name ]] && cp -n "$root/fuzz/corpus/$name"/* "$corpus"/ 2>/dev/null
    local limit=(-max_total_time="$seconds")
    [[ -n ${FUZZ_RUNS:-} ]] && limit+=(-runs="$FUZZ_RUNS")
    local rc=0
    (cd "$findings" && ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} "$build/fuzz/${name}_fuzz" "${limit[@]}" \
        -timeout=1 -rss_limit_mb=2048 -print_final_stats=1 "$corpus") >"$log" 2>&1 || rc=$?
    local execs cov
    execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*' || true)
    if ((rc == 0)); then
        echo "fuzz $name: ${execs:-?} executions, coverage ${cov:-?} edges, no finding"
    else
        echo "fuzz $name: FAILED (exit $rc) after ${execs:-?} executions; see $log and $findings"
        grep -m5 -E 'ERROR:|SUMMARY:|Timeout|leak' "$log" || true
    fi
    return "$rc"
}
export -f run_one
export build seconds root FUZZ_RUNS

printf '%s\n' "${names[@]}" | xargs -P "$jobs" -I{} bash -c 'run_one "$@"' _ {}
