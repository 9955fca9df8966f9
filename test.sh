#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test with ctest; then runs the suite again under
# AddressSanitizer + UndefinedBehaviorSanitizer, the threaded tests under ThreadSanitizer, and a short
# pass of every fuzz target. VELLOX_QUICK=1 skips everything after the first ctest run.
set -euo pipefail
cd "$(dirname "$0")"
VELLOX_FUZZ=${VELLOX_FUZZ:-1} ./scripts/setup.sh

jobs=$(nproc 2>/dev/null || echo 2)
build() { # dir, extra cmake flags...
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
}

build build
(cd build && ctest --output-on-failure -j "$jobs")
# Benchmarks are built above; run each once, untimed, so they cannot rot.
build/bench/scan_benchmark --benchmark_min_time=0 --benchmark_filter=. >/dev/null
build/bench/throttled_scan 16 2000 >/dev/null
[ ! -x build/bench/listsort_benchmark ] || build/bench/listsort_benchmark --benchmark_min_time=0 >/dev/null

if [ "${VELLOX_QUICK:-0}" != 1 ]; then
    build build-asan -DVELLOX_SANITIZE=ON -DBUILD_BENCHMARKS=OFF
    (cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j "$jobs")
    build build-tsan -DVELLOX_TSAN=ON -DBUILD_BENCHMARKS=OFF
    (cd build-tsan && TSAN_OPTIONS="halt_on_error=1 suppressions=$(pwd)/../tests/tsan.supp" \
        ctest --output-on-failure -j "$jobs" -R 'ScanRun|SaveJob|ReRead|Scanner|Faults|app_mainwindow')
    # A short pass of every fuzz target; fuzz/run.sh SECONDS runs them longer.
    fuzz/run.sh "${VELLOX_FUZZ_SECONDS:-20}"
fi
