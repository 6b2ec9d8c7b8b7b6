#!/usr/bin/env bash
# rivelo-sim --feed em4305:20 in one process, rivelo --port PTY run ... --count 20 in another:
# 20 tags written, 20 lines listed, exit 0.
set -uo pipefail
sim=$1
rivelo=$2
exec {simout}< <(exec "$sim" --feed em4305:20 2>/dev/null)
simpid=$!
trap 'kill "$simpid" 2>/dev/null; wait "$simpid" 2>/dev/null' EXIT
pty=
read -r -t 20 pty <&"$simout" || { echo "rivelo-sim gave no pseudo-terminal"; exit 1; }
out=$(timeout 120 "$rivelo" --port "$pty" run em4100 --incremental 0123456789 --count 20 2>/dev/null)
rc=$?
lines=$(printf '%s\n' "$out" | grep -c .)
last=$(printf '%s\n' "$out" | tail -1)
if [[ $rc -ne 0 || $lines -ne 20 || $last != "20 012345679C" ]]; then
  echo "exit $rc, $lines lines, last '$last'; expected exit 0, 20 lines, last '20 012345679C'"
  exit 1
fi
