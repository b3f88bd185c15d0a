#!/bin/sh
# veldra-cli inspect --json of a large drawing under a memory cap (ulimit -v, KiB):
# streamed, the document is written where the whole tree and its text did not fit;
# under a cap the drawing itself cannot meet, the run ends with a message and exit
# status 1 instead of an abort.
# Usage: inspect_memory_check.sh CLI WORK_FOLDER ENTITIES FITTING_CAP TOO_SMALL_CAP
set -u
cli=$1 work=$2 entities=$3 fits=$4 small=$5
mkdir -p "$work"
big="$work/big_drawing.txt"
awk -v n="$entities" 'BEGIN { for (i = 0; i < n; ++i) printf "%d.5 %d.25 %d.125 %d.75\n", i, i % 977, i + 3, i % 31 }' > "$big"

(ulimit -v "$fits"; "$cli" inspect --json "$big" > "$work/big.json" 2> "$work/fits.err")
rc=$?
if [ "$rc" -ne 0 ]; then
    echo "under $fits KiB: exit $rc: $(cat "$work/fits.err")"
    exit 1
fi
tail -c 2 "$work/big.json" | od -c | grep -q '}  *\\n' || { echo "document cut short"; exit 1; }

(ulimit -v "$small"; "$cli" inspect --json "$big" > /dev/null 2> "$work/small.err")
rc=$?
if [ "$rc" -ne 1 ] || ! grep -q "out of memory" "$work/small.err"; then
    echo "under $small KiB: exit $rc (1 and a message expected): $(cat "$work/small.err")"
    exit 1
fi
rm -f "$big" "$work/big.json"
echo "ok"
