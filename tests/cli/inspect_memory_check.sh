#!/bin/sh
# veldra-cli under memory caps (ulimit -v, KiB) on a drawing of 100,000 lines:
# - inspect --json is streamed: it writes the whole document under a cap where the
#   tree and its text (about 1.2 KB an entity, then the text again) could not fit;
# - inspect and regions --mode faces, across caps from just above start-up upwards,
#   end by themselves (0, or 1 or 2 with a message), never by a signal (an abort).
# Usage: inspect_memory_check.sh CLI WORK_FOLDER
set -u
cli=$1 work=$2
mkdir -p "$work"
big="$work/big_drawing.txt"
awk 'BEGIN { for (i = 0; i < 100000; ++i) printf "%d.5 %d.25 %d.125 %d.75\n", i, i % 977, i + 3, i % 31 }' > "$big"

(ulimit -v 150000; "$cli" inspect --json "$big" > "$work/big.json" 2> "$work/run.err")
rc=$?
if [ "$rc" -ne 0 ]; then
    echo "inspect --json under 150000 KiB: exit $rc: $(cat "$work/run.err")"
    exit 1
fi
if [ "$(tail -c 2 "$work/big.json" | od -An -c | tr -d ' ')" != '}\n' ]; then
    echo "document cut short"
    exit 1
fi

failed=0
for cap in 100000 110000 120000 130000 140000 160000 200000; do
    for command in "inspect --json" "regions --mode faces --json"; do
        (ulimit -v "$cap"; $cli $command "$big" > /dev/null 2> "$work/run.err")
        rc=$?
        echo "$command under $cap KiB: exit $rc $(head -c 120 "$work/run.err")"
        if [ "$rc" -ge 3 ]; then failed=1; fi
        if [ "$rc" -ne 0 ] && [ ! -s "$work/run.err" ]; then failed=1; fi
    done
done
rm -f "$big" "$work/big.json" "$work/run.err"
[ "$failed" -eq 0 ] && echo "ok"
exit "$failed"
