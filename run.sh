#!/usr/bin/env bash
# ./run.sh [SOURCE]   recovers the messages of SOURCE (a disk image, mailbox file, partition such as
#                     sdb1, or HDn) into recovered/; without SOURCE it makes and scans the demo image.
# ./run.sh --gui      starts the desktop program.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DBUILD_BENCHMARKS=OFF >/dev/null
cmake --build build-release -j "$(nproc 2>/dev/null || echo 2)" >/dev/null

if [ "${1:-}" = "--gui" ]; then
    if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
        echo "No display: the desktop program needs one (or run it under xvfb-run)." >&2
        exit 1
    fi
    exec build-release/app/vellox
fi

source=${1:-}
if [ -z "$source" ]; then
    source=samples/demo.img
    if [ ! -f "$source" ]; then
        build-release/samples/vellox-make-demo "$source" >/dev/null
    fi
fi
out=recovered
mkdir -p "$out"
build-release/cli/vellox-cli scan "$source" --out "$out" --report "$out/report.json"
echo "The recovered messages are in $(pwd)/$out (report: $out/report.json)."
