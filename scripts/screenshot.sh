#!/usr/bin/env bash
# scripts/screenshot.sh [OUT.png]: runs the desktop program under Xvfb on the demo image and saves a
# picture of the main window after the scan, with the first message selected, and next to it pictures of
# the source picker, the search dialog, the help window and the about box (OUT-picker.png, ...).
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-screenshots/main.png}")
mkdir -p "$(dirname "$out")"
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target vellox vellox-make-demo >/dev/null
[ -f samples/demo.img ] || "$build/samples/vellox-make-demo" samples/demo.img >/dev/null
VELLOX_SCREENSHOT="$out" VELLOX_SCREENSHOT_SOURCE="$(pwd)/samples/demo.img" \
    xvfb-run -a -s "-screen 0 1280x800x24" "$build/app/vellox"
echo "saved $out"
