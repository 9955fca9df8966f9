#!/usr/bin/env bash
# bench/save.sh [MESSAGES]: times `vellox-cli scan IMAGE --out DIR` on an image of about 2,000 messages
# and reports messages per second and MB/s written, next to the scan alone.
set -euo pipefail
cd "$(dirname "$0")/.."
messages=${1:-2000}
build=${BUILD_DIR:-build-release}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" >/dev/null
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$build/samples/vellox-make-demo" "$tmp/img" --copies $(( (messages + 9) / 10 )) --noise-mib 0.05 >/dev/null
cat "$tmp/img" >/dev/null
t0=$(date +%s.%N); "$build/cli/vellox-cli" scan "$tmp/img" --quiet >/dev/null; t1=$(date +%s.%N)
"$build/cli/vellox-cli" scan "$tmp/img" --quiet --out "$tmp/out" >/dev/null; t2=$(date +%s.%N)
n=$(ls "$tmp/out" | wc -l)
bytes=$(du -sb "$tmp/out" | cut -f1)
scan=$(echo "$t1 - $t0" | bc -l)
total=$(echo "$t2 - $t1" | bc -l)
save=$(echo "$total - $scan" | bc -l)
printf 'scan only %.3f s; scan and save %.3f s; %d files, %.1f MB\n' "$scan" "$total" "$n" "$(echo "$bytes/1000000" | bc -l)"
printf 'saving: %.0f messages/s, %.1f MB/s written\n' "$(echo "$n / $save" | bc -l)" "$(echo "$bytes / $save / 1000000" | bc -l)"
