#!/usr/bin/env bash
# fuzz/run.sh SECONDS: builds the libFuzzer targets with clang (ASan + UBSan) and runs each for SECONDS,
# starting from the seeds in fuzz/corpus/<target>. New crashing inputs are left in fuzz/crashes/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
VELLOX_FUZZ=1 VELLOX_GUI=0 ./scripts/setup.sh
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_FUZZERS=ON \
    -DBUILD_TESTING=OFF -DBUILD_BENCHMARKS=OFF -DVELLOX_BUILD_GUI=OFF >/dev/null
cmake --build build-fuzz -j "$(nproc 2>/dev/null || echo 2)" >/dev/null
mkdir -p fuzz/crashes
status=0
for t in scanblock headervalue decodebody maildate transfer attachmentheader reread; do
    work=$(mktemp -d)
    cp -r "fuzz/corpus/$t/." "$work/" 2>/dev/null || true
    log=$(mktemp)
    if build-fuzz/fuzz/fuzz_$t "$work" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 \
        -artifact_prefix="fuzz/crashes/$t-" >"$log" 2>&1; then
        echo "fuzz_$t: $(grep -E '^(Done|#[0-9]+.*DONE)' "$log" | tail -1)"
    else
        echo "fuzz_$t: FAILED"; tail -30 "$log"; status=1
    fi
    rm -rf "$work" "$log"
done
exit $status
