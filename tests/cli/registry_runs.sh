#!/usr/bin/env bash
# Four rivelo runs of the same range against four virtual readers and one registry (sqlite, or
# postgres: the server of RIVELO_TEST_PG): 200 tags carry 1-200, each identity on one tag. Then
# the same with one run killed (SIGKILL) while it holds a reservation (its reader feeds only
# refusing chips after ten): once its lease has run out, a fifth run completes the range with
# nothing lost and nothing doubled.
# Usage: registry_runs.sh RIVELO-SIM RIVELO sqlite|postgres   (exit 77: skipped)
set -uo pipefail
sim=$1 rivelo=$2 engine=$3
dir=$(mktemp -d)
sims=() runs=()
cleanup() {
  for pid in "${runs[@]}" "${sims[@]}"; do kill -9 "$pid" 2>/dev/null; done
  [[ -n ${schemas:-} ]] && psql -q "$RIVELO_TEST_PG" -c "DROP SCHEMA IF EXISTS ${schemas// /, } CASCADE" >/dev/null 2>&1
  rm -rf "$dir"
}
trap cleanup EXIT
fail() { echo "$*"; for f in "$dir"/*.err; do echo "== $f"; tail -5 "$f"; done; exit 1; }

schemas=
registry() {  # a fresh registry named $1
  if [[ $engine == sqlite ]]; then echo "$dir/$1.sqlite"; return; fi
  local schema="rivelo_t$$_$1"
  psql -q "$RIVELO_TEST_PG" -c "CREATE SCHEMA $schema" >/dev/null || return 1
  schemas+="${schemas:+ }$schema"
  local sep='?'; [[ $RIVELO_TEST_PG == *\?* ]] && sep='&'
  echo "$RIVELO_TEST_PG${sep}options=-csearch_path%3D$schema"
}
if [[ $engine == postgres ]]; then
  [[ -n ${RIVELO_TEST_PG:-} ]] || { echo "no test PostgreSQL: run the tests through scripts/with-test-postgres"; exit 77; }
  command -v psql >/dev/null || { echo "no psql to make the test's schema"; exit 77; }
fi

# A virtual reader named $1 fed with the stacks that follow; its terminal in ptys[$1].
declare -A ptys
reader() {
  local name=$1 fd pty; shift
  local feeds=(); for f in "$@"; do feeds+=(--feed "$f"); done
  exec {fd}< <(exec "$sim" "${feeds[@]}" --state "$dir/$name.state" 2>/dev/null)
  sims+=($!)
  read -r -t 20 pty <&"$fd" || fail "rivelo-sim $name gave no pseudo-terminal"
  ptys[$name]=$pty
}
# A run of N tags from 1 on the reader named $1, its output in $dir/$1.out and .err. The lease
# leaves a loaded machine seconds between a reservation and its issue.
run() {
  "$rivelo" --port "${ptys[$1]}" run em4100 --incremental 0000000001 --count "$2" --period 50 \
    --registry "$where" --registry-lease 6 >"$dir/$1.out" 2>"$dir/$1.err" &
  runs+=($!)
}
# Every reader's tags, once they have all ended: the identities $2 (default 1-200), each on
# exactly one tag, none written over, and each issued in the registry, none left reserved.
check_tags() {
  for pid in "${sims[@]}"; do kill -TERM "$pid"; wait "$pid"; done
  sims=()
  local held expected overwritten
  held=$(grep -h '^  em4100 ' "$dir"/*.state | awk '{print $2}' | sort)
  expected=${2:-$(for i in $(seq 1 200); do printf '%010X\n' "$i"; done)}
  overwritten=$(grep -h 'carried: \[.*,' "$dir"/*.state)
  [[ $held == "$expected" && -z $overwritten ]] ||
    fail "$1: the tags hold $(grep -c . <<<"$held") identities, $(sort -u <<<"$held" | grep -c .) distinct," \
         "missing: $(comm -13 <(sort -u <<<"$held") <(echo "$expected") | tr '\n' ' ')" \
         "doubled: $(uniq -d <<<"$held" | tr '\n' ' ') $overwritten"
  [[ $("$rivelo" registry stats --registry "$where" | tail -1) =~ ^em4100\ +$(grep -c . <<<"$expected")\ +0$ ]] ||
    fail "$1: registry stats: $("$rivelo" registry stats --registry "$where")"
  rm -f "$dir"/*.state "$dir"/*.out "$dir"/*.err
}
wait_runs() {
  for pid in "${runs[@]}"; do wait "$pid" || fail "$1: a run ended with exit $?"; done
  runs=()
}

where=$(registry shared) || exit 1
for r in a b c d; do reader "$r" em4305:50; done
for r in a b c d; do run "$r" 50; done
wait_runs "four runs"
check_tags "four runs"

where=$(registry killed) || exit 1
for r in a b c; do reader "$r" em4305:50; done
reader k em4305:10 t5577:pwd=11223344:1000
reader e em4305:50
for r in a b c k; do run "$r" 50; done
killed=${runs[3]}
runs=("${runs[@]:0:3}")
deadline=$((SECONDS + 60))
until grep -q refused "$dir/k.err"; do
  ((SECONDS < deadline)) || fail "the run to be killed never refused a tag"
  sleep 0.05
done
kill -9 "$killed"
wait "$killed" 2>/dev/null
written=$(grep -c . "$dir/k.out")
held=$(grep -o 'refused [0-9A-F]*' "$dir/k.err" | head -1 | cut -d' ' -f2)
wait_runs "three runs beside the killed one"
# The killed run's reservation holds until its lease runs out: then it is free for the fifth run.
lease=$("$rivelo" --json registry check --registry "$where" --format em4100 "$held" | grep -o '"leaseUntil":"[^"]*"' | cut -d'"' -f4)
[[ -n $lease ]] || fail "the killed run held no reservation of $held"
until (($(date +%s%3N) > $(date -d "$lease" +%s%3N))); do sleep 0.05; done
run e $((50 - written))
wait_runs "the run after the killed one"
grep -q "Skipped $held" "$dir/e.err" && fail "the fifth run skipped $held, held by the killed run"
check_tags "a run killed"

# One station, two readers, one process: each line names its reader; Ctrl+C stops both with one
# summary, and what they listed is what the tags carry.
where=$(registry station) || exit 1
reader a em4305:100
reader b em4305:100
"$rivelo" station --port "${ptys[a]}" --port "${ptys[b]}" run em4100 --incremental 0000000001 --count 100 \
  --period 50 --registry "$where" >"$dir/s.out" 2>"$dir/s.err" &
station=$!
runs=("$station")
deadline=$((SECONDS + 60))
until (($(grep -c "^${ptys[a]}: " "$dir/s.out") >= 5 && $(grep -c "^${ptys[b]}: " "$dir/s.out") >= 5)); do
  ((SECONDS < deadline)) || fail "the station's readers did not both list tags"
  sleep 0.05
done
kill -INT "$station"
wait "$station"; rc=$?
runs=()
others=$(grep -v -e "^${ptys[a]}: [0-9]* [0-9A-F]*$" -e "^${ptys[b]}: [0-9]* [0-9A-F]*$" "$dir/s.out")
summaries=$(grep -c '^Run summary: ' "$dir/s.err")
[[ $rc -eq 130 && -z $others && $summaries -eq 1 ]] ||
  fail "station: exit $rc, $summaries summaries, lines naming no reader: $others"
check_tags "station" "$(awk '{print $3}' "$dir/s.out" | sort)"
