#!/usr/bin/env bash
# Times `lumatick export` as a whole process on a store holding fifty years of days
# (18,262 records), the way a script or backup job runs it. Prints the median of 15 runs.
set -euo pipefail
lumatick=${1:?usage: cli-export.sh path/to/lumatick}
sandbox=$(mktemp -d)
trap 'rm -rf "$sandbox"' EXIT
export XDG_DATA_HOME=$sandbox/data XDG_CONFIG_HOME=$sandbox/config HOME=$sandbox

{
    echo "date,total_seconds,total_formatted,goal_met"
    sqlite3 :memory: "WITH RECURSIVE day(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM day WHERE i < 18261)
        SELECT date('1976-12-05', '+' || i || ' days') || ',' || ((i * 7919) % 50000) || ',x,false' FROM day;"
} > "$sandbox/fifty-years.csv"
"$lumatick" import "$sandbox/fifty-years.csv" > /dev/null

timings=()
for _ in $(seq 15); do
    start=$(date +%s%N)
    "$lumatick" export > "$sandbox/export.csv"
    end=$(date +%s%N)
    timings+=($(( (end - start) / 1000000 )))
done
median=$(printf '%s\n' "${timings[@]}" | sort -n | sed -n 8p)
lines=$(wc -l < "$sandbox/export.csv")
echo "lumatick export, ${lines} lines: median ${median} ms over 15 runs (target under 150 ms)"
