#!/usr/bin/env bash
# The command-line contract: exit statuses, the summary, --out, --report, and bad sources.
set -u
cli=$1
gen=$2
dir=$(mktemp -d)
trap 'chmod -R u+w "$dir"; rm -rf "$dir"' EXIT
fail=0
check() { # name, condition
    if eval "$2"; then echo "ok   $1"; else echo "FAIL $1"; fail=1; fi
}

mkdir -p "$dir/expect"
"$gen" "$dir/demo.img" --copies 1 --expect "$dir/expect" >/dev/null
planted=$(ls "$dir/expect" | wc -l)
chmod 0444 "$dir/demo.img"
before=$(sha256sum < "$dir/demo.img")

"$cli" scan "$dir/demo.img" --quiet --out "$dir/out" --report "$dir/report.json" > "$dir/stdout" 2> "$dir/stderr"
rc=$?
check "scan of a read-only image exits 0" "[ $rc -eq 0 ]"
check "summary names the message count" "grep -q '$planted messages found' '$dir/stdout'"
check "one file per message" "[ \$(ls '$dir/out' | wc -l) -eq $planted ]"
check "report lists every record" "python3 -c 'import json,sys; r=json.load(open(\"$dir/report.json\")); sys.exit(0 if len(r[\"records\"])==$planted and all(x[\"file\"] for x in r[\"records\"]) else 1)'"
whole=0
for f in "$dir"/expect/*.eml; do
    for g in "$dir"/out/*; do
        if cmp -s "$f" "$g"; then whole=$((whole+1)); break; fi
    done
done
check "every planted message comes back byte for byte ($whole of $planted)" "[ $whole -eq $planted ]"
check "the source is unchanged" "[ \"\$(sha256sum < '$dir/demo.img')\" = '$before' ]"

"$cli" scan "$dir/demo.img" --quiet --format txt --out "$dir/txt" > /dev/null
check "--format txt writes the text renderings" "[ \$(ls '$dir/txt' | grep -c '\.txt$') -eq $planted ] && grep -q -- '---------- Text ---------' '$dir/txt/'*"

"$cli" scan /nonexistent/x.img > /dev/null 2> "$dir/err"
check "missing source exits 1" "[ $? -eq 1 ]"
check "with a one-line reason" "[ \$(wc -l < '$dir/err') -eq 1 ] && grep -q 'No such file' '$dir/err'"
"$cli" scan "$dir" > /dev/null 2> "$dir/err"
check "a directory exits 1" "[ $? -eq 1 ]"
: > "$dir/empty.img"
"$cli" scan "$dir/empty.img" --quiet > "$dir/stdout"
check "an empty file scans to 0 messages" "[ $? -eq 0 ] && grep -q ' 0 messages found' '$dir/stdout'"
printf 'short' > "$dir/short.img"
"$cli" scan "$dir/short.img" --quiet > /dev/null
check "a file shorter than a sector scans" "[ $? -eq 0 ]"
"$cli" scan > /dev/null 2>&1
check "usage error exits 2" "[ $? -eq 2 ]"
"$cli" scan "$dir/demo.img" --format pdf > /dev/null 2>&1
check "bad --format exits 2" "[ $? -eq 2 ]"
mkdir "$dir/ro" && chmod 0555 "$dir/ro"
if [ "$(id -u)" -ne 0 ]; then
    "$cli" scan "$dir/demo.img" --quiet --out "$dir/ro/sub" > /dev/null 2> "$dir/err"
    check "unwritable output exits 1" "[ $? -eq 1 ]"
fi
"$cli" scan "$dir/demo.img" --quiet --out /proc/vellox/none > /dev/null 2> "$dir/err"
check "an output directory that cannot be made exits 1" "[ $? -eq 1 ] && [ -s '$dir/err' ]"
"$cli" sources > /dev/null
check "sources exits 0" "[ $? -eq 0 ]"
exit $fail
