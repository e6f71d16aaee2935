#!/usr/bin/env bash
# CPU of `lumatick status --format waybar` as a whole process (user + system, loading included)
# on a store holding one year of days, the way a status bar polls it every second. No instance
# runs, so it reads the store. Prints the median of 21 runs next to its target, and next to the
# floor: a program that only loads Qt Core and prints a line, measured the same way.
set -euo pipefail
lumatick=${1:?usage: cli-status.sh path/to/lumatick [path/to/lumatick_qt_core_start]}
floor=${2:-}
sandbox=$(mktemp -d)
trap 'rm -rf "$sandbox"' EXIT
export XDG_DATA_HOME=$sandbox/data XDG_CONFIG_HOME=$sandbox/config HOME=$sandbox

{
    echo "date,total_seconds,total_formatted,goal_met"
    sqlite3 :memory: "WITH RECURSIVE day(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM day WHERE i < 364)
        SELECT date('now', '-' || i || ' days') || ',' || ((i * 7919) % 50000) || ',x,false' FROM day;"
} > "$sandbox/year.csv"
"$lumatick" import "$sandbox/year.csv" > /dev/null

python3 - "$lumatick" "$floor" << 'PYTHON'
import resource, statistics, subprocess, sys

def median_cpu_ms(command):
    runs = []
    for _ in range(21):
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        subprocess.run(command, stdout=subprocess.DEVNULL, check=True)
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        runs.append((after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime) * 1000)
    return statistics.median(runs)

median = median_cpu_ms([sys.argv[1], "status", "--format", "waybar"])
verdict = "meets" if median <= 10 else "MISSES"
print(f"lumatick status --format waybar, one-year store: median {median:.1f} ms CPU over 21 runs"
      f" (target <= 10 ms: {verdict})")
if sys.argv[2]:
    floor = median_cpu_ms([sys.argv[2]])
    print(f"  floor, a program that only loads Qt Core: median {floor:.1f} ms CPU over 21 runs")
PYTHON
