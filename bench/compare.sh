#!/usr/bin/env bash
# bench/compare.sh [SIZE_MIB]
# One image (the demo generator scaled up: messages spread through noise and zero regions), and on it:
# vellox-cli scan with the page cache warm and dropped, cat both ways, grep -c, and PhotoRec with only
# its text/mail formats. Prints one table (median of 3 runs each) with the messages recovered byte for
# byte out of those planted, and vellox's throughput ratio to cat and to PhotoRec.
set -euo pipefail
cd "$(dirname "$0")/.."
size=${1:-1024}
build=${BUILD_DIR:-build-bench}
missing=()
for p in hyperfine testdisk bc; do dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p"); done
if [ ${#missing[@]} -gt 0 ]; then apt-get install -y -qq "${missing[@]}" >/dev/null; fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DVELLOX_BUILD_GUI=OFF >/dev/null
cmake --build "$build" >/dev/null

work=${TMPDIR:-/tmp}/vellox-compare-$size
mkdir -p "$work"
img=$work/image.img
if [ ! -f "$img" ]; then
    rm -rf "$work/expect" && mkdir -p "$work/expect"
    copies=$(( size / 8 )); [ "$copies" -lt 1 ] && copies=1
    "$build/samples/vellox-make-demo" "$img" --copies "$copies" --noise-mib 8 --expect "$work/expect" >/dev/null
fi
bytes=$(stat -c %s "$img")
planted=$(ls "$work/expect" | wc -l)
photorec_cmd="photorec /log /d $work/pr/recup /cmd $img partition_none,options,paranoid,keep_corrupted_file_no,fileopt,everything,disable,tx?,enable,pst,enable,search"

can_drop=0
if [ -w /proc/sys/vm/drop_caches ] && sh -c 'sync; echo 3 > /proc/sys/vm/drop_caches' 2>/dev/null; then can_drop=1; fi

median() { # json file -> median seconds
    python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["results"][0]["median"])' "$1"
}
time_cmd() { # name cache command [prepare]
    local name=$1 cache=$2 cmd=$3 prep=${4:-true}
    if [ "$cache" = cold ]; then prep="$prep; sync; echo 3 > /proc/sys/vm/drop_caches"; else cat "$img" > /dev/null; fi
    hyperfine -N --style none --runs 3 --prepare "sh -c '$prep'" --export-json "$work/t.json" "$cmd" >/dev/null 2>&1 ||
        hyperfine --style none --runs 3 --prepare "$prep" --export-json "$work/t.json" "$cmd" >/dev/null
    median "$work/t.json"
}
whole() { # directory -> planted messages found byte for byte among its files
    python3 - "$work/expect" "$1" <<'PY'
import hashlib, os, sys
def digests(d):
    out = set()
    for root, _, files in os.walk(d):
        for f in files:
            with open(os.path.join(root, f), 'rb') as fh:
                out.add(hashlib.sha256(fh.read()).hexdigest())
    return out
want = digests(sys.argv[1]); got = digests(sys.argv[2]) if os.path.isdir(sys.argv[2]) else set()
print(len(want & got))
PY
}

rows=()
add() { rows+=("$(printf '%-28s %-6s %8.3f %10.1f %s' "$1" "$2" "$3" "$(echo "$bytes / $3 / 1000000" | bc -l)" "$4")"); }

v_warm=$(time_cmd vellox warm "$build/cli/vellox-cli scan $img --quiet")
rm -rf "$work/out"; "$build/cli/vellox-cli" scan "$img" --quiet --out "$work/out" >/dev/null
v_whole=$(whole "$work/out")
add "vellox-cli scan" warm "$v_warm" "$v_whole/$planted"
c_warm=$(time_cmd cat warm "sh -c 'cat $img > /dev/null'")
add "cat > /dev/null" warm "$c_warm" "-"
g_warm=$(time_cmd grep warm "sh -c 'grep -c -a Received: $img > $work/grep.out'")
add "grep -c -a 'Received: '" warm "$g_warm" "-"
p_warm=$(time_cmd photorec warm "$photorec_cmd" "rm -rf $work/pr; mkdir -p $work/pr")
p_whole=$(whole "$work/pr")
add "photorec (mail formats)" warm "$p_warm" "$p_whole/$planted"
if [ $can_drop = 1 ]; then
    v_cold=$(time_cmd vellox cold "$build/cli/vellox-cli scan $img --quiet")
    add "vellox-cli scan" cold "$v_cold" "$v_whole/$planted"
    c_cold=$(time_cmd cat cold "sh -c 'cat $img > /dev/null'")
    add "cat > /dev/null" cold "$c_cold" "-"
else
    note="Cold-cache rows skipped: /proc/sys/vm/drop_caches cannot be written here."
fi

echo "image: $img, $((bytes / 1048576)) MiB, $planted messages planted"
printf '%-28s %-6s %8s %10s %s\n' tool cache seconds MB/s "recovered whole"
printf '%s\n' "${rows[@]}"
printf 'vellox/cat (warm) %.2f   vellox/grep (warm) %.2f   vellox/photorec (warm) %.2f\n' \
    "$(echo "$c_warm / $v_warm" | bc -l)" "$(echo "$g_warm / $v_warm" | bc -l)" "$(echo "$p_warm / $v_warm" | bc -l)"
[ -n "${note:-}" ] && echo "$note"
exit 0
