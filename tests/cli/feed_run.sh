#!/usr/bin/env bash
# rivelo-sim --feed KIND:N in one process, rivelo --port PTY run ... --count N in another:
# N tags written, N lines listed, exit 0, and (with --state) each identity on a tag of its own.
# Second case: T5577s that carry a password, which rivelo takes from RIVELO_PASSWORD, so it is
# on no command line that ps shows.
set -uo pipefail
sim=$1
rivelo=$2
state=$(mktemp)
trap 'rm -f "$state"' EXIT

# feed_case FEED COUNT LAST: runs one pair of processes; the final state goes to $state.
feed_case() {
  local simout simpid pty out rc lines last
  exec {simout}< <(exec "$sim" --feed "$1" --state "$state" 2>/dev/null)
  simpid=$!
  pty=
  read -r -t 20 pty <&"$simout" || { echo "rivelo-sim gave no pseudo-terminal"; kill "$simpid"; return 1; }
  out=$(timeout 120 "$rivelo" --port "$pty" run em4100 --incremental 0123456789 --count "$2" 2>/dev/null)
  rc=$?
  kill -TERM "$simpid" 2>/dev/null
  wait "$simpid" 2>/dev/null
  lines=$(printf '%s\n' "$out" | grep -c .)
  last=$(printf '%s\n' "$out" | tail -1)
  if [[ $rc -ne 0 || $lines -ne $2 || $last != "$3" ]]; then
    echo "$1: exit $rc, $lines lines, last '$last'; expected exit 0, $2 lines, last '$3'"
    return 1
  fi
}

feed_case em4305:20 20 "20 012345679C" || exit 1
RIVELO_PASSWORD=11223344 feed_case t5577:pwd=11223344:5 5 "5 012345678D" || exit 1
held=$(grep -cE '^  em4100 012345678[9A-D]$' "$state")
if [[ $held -ne 5 ]]; then
  echo "the final state holds $held of the 5 identities:"
  cat "$state"
  exit 1
fi
