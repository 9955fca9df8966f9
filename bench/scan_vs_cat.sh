#!/usr/bin/env bash
# bench/scan_vs_cat.sh [IMAGE_SIZE_MIB]
# Makes an image (messages spread through noise and zeros), warms the page cache, and prints the MB/s of
# vellox-cli scan, of cat (the memory limit) and of grep -c 'Received: ' (one pass of a tuned text search)
# on it, with a mail-dense image as a second case. The last line gives vellox's ratios to the other two.
set -euo pipefail
cd "$(dirname "$0")/.."
size=${1:-1024}
build=${BUILD_DIR:-build-release}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" >/dev/null
tmp=${TMPDIR:-/tmp}/vellox-bench
mkdir -p "$tmp"

median3() { sort -n | sed -n 2p; }
seconds() { # command...
    local t0 t1
    t0=$(date +%s.%N); "$@" >/dev/null 2>&1; t1=$(date +%s.%N)
    echo "$t1 - $t0" | bc -l
}
measure() { # label image command...
    local label=$1 img=$2; shift 2
    local bytes s
    bytes=$(stat -c %s "$img")
    s=$( { seconds "$@"; seconds "$@"; seconds "$@"; } | median3)
    printf '%-28s %8.3f s %10.1f MB/s\n' "$label" "$s" "$(echo "$bytes / $s / 1000000" | bc -l)"
    echo "$bytes / $s / 1000000" | bc -l > "$tmp/last"
}

run_case() { # name, copies, noise-mib
    local img=$tmp/$1.img
    if [ ! -f "$img" ]; then
        "$build/samples/vellox-make-demo" "$img" --copies "$2" --noise-mib "$3" >/dev/null
    fi
    cat "$img" >/dev/null
    echo "== $1: $(( $(stat -c %s "$img") / 1048576 )) MiB"
    measure "vellox-cli scan" "$img" "$build/cli/vellox-cli" scan "$img" --quiet; v=$(cat "$tmp/last")
    measure "cat > /dev/null" "$img" sh -c "cat '$img' > /dev/null"; c=$(cat "$tmp/last")
    measure "grep -c -a 'Received: '" "$img" sh -c "grep -c -a 'Received: ' '$img' > '$tmp/grep.out'"; g=$(cat "$tmp/last")
    printf 'vellox/cat %.2f  vellox/grep %.2f\n' "$(echo "$v / $c" | bc -l)" "$(echo "$v / $g" | bc -l)"
}

# Mixed: a little mail in much noise and zeros. Each copy of the message set is about 40 KiB of mail.
mixed_copies=$(( size / 8 )); [ "$mixed_copies" -lt 1 ] && mixed_copies=1
run_case "mixed-$size" "$mixed_copies" 8
# Dense: about 30% of the sectors hold mail.
dense_copies=$(( size * 1024 / 40 / 3 * 1 )); [ "$dense_copies" -lt 1 ] && dense_copies=1
run_case "dense-$size" "$dense_copies" 0.07
