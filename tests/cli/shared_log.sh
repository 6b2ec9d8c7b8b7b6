#!/usr/bin/env bash
# Two rivelo runs at once with the same --log: one header, runs 1 and 2, every line in it.
set -uo pipefail
rivelo=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
log=$dir/log.csv
"$rivelo" --simulate run em4100 --incremental 0000000001 --count 3 --log "$log" >/dev/null 2>"$dir/err1" &
first=$!
"$rivelo" --simulate run em4100 --incremental 0000000101 --count 3 --log "$log" >/dev/null 2>"$dir/err2" &
second=$!
wait "$first"; rc1=$?
wait "$second"; rc2=$?
headers=$(grep -c '^time,' "$log")
lines=$(grep -c . "$log")
runs=$(tail -n +2 "$log" | cut -d, -f4 | sort -u | tr '\n' ' ')
if [[ $rc1 -ne 0 || $rc2 -ne 0 || $headers -ne 1 || $lines -ne 7 || $runs != "1 2 " ]]; then
  echo "exit $rc1 and $rc2, $headers headers, $lines lines, runs '$runs'; expected 0 and 0, 1, 7, '1 2 '"
  cat "$log" "$dir/err1" "$dir/err2"
  exit 1
fi
