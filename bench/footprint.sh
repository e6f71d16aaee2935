#!/usr/bin/env bash
# What the running counter costs the machine as a whole process: started as on a desktop (a
# private Xvfb and session bus, a stand-in panel it registers its status item with, sandboxed
# HOME and XDG folders), left 20 s to settle, then measured for 120 s without user input by
# tools/footprint.sh. Prints CPU seconds, context switches per second and the memory of the
# whole process tree next to the figures of comparable tray programs and our targets.
set -euo pipefail
# Absolute: the measuring script runs the programs from a directory of its own.
build=$(cd "${1:?usage: footprint.sh BUILD_DIR}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
lumatick=$build/src/app/lumatick
panel=$build/bench/lumatick_panel_stand_in
for program in "$lumatick" "$panel"; do
    [ -x "$program" ] || { echo "footprint.sh: $program is missing; build first" >&2; exit 2; }
done

log=$(mktemp)
trap 'rm -f "$log"' EXIT
line=$("$here/../tools/footprint.sh" -q -s 20 -w 120 -l lumatick -o "$log" -H "$panel" -- "$lumatick")
value() { sed -n "s/.*\b$1=\([^ ]*\).*/\1/p" <<< "$line"; }

if [ "$(value alive)" != 1 ]; then
    echo "lumatick did not last the run (exit $(value exit) after $(value died_at_s) s):" >&2
    cat "$log" >&2
    exit 1
fi

cpu=$(value cpu_s) switches=$(value ctx_per_s) pss=$(value pss_mib)
row() { printf '%-22s %12s %12s %10s %10s %10s\n' "$@"; }
verdict() { awk -v value="$1" -v limit="$2" 'BEGIN { print (value <= limit) ? "meets" : "MISSES" }'; }

echo "Whole-process footprint, 120 s idle after 20 s settling (tree of $(value procs) process(es), $(value threads) threads)"
row "" "CPU s/120 s" "switches/s" "RSS MiB" "PSS MiB" "USS MiB"
row "Lumatick" "$cpu" "$switches" "$(value rss_mib)" "$pss" "$(value uss_mib)"
row "Workrave" 0.29 11.7 - 57.9 -
row "Safe Eyes" 0.55 4.3 - 98.6 -
row "RSIBreak" 0.15 3.4 - 70.5 -
row "target" "<= 0.10" "<= 2.5" - "<= 40" -
row "" "$(verdict "$cpu" 0.10)" "$(verdict "$switches" 2.5)" "" "$(verdict "$pss" 40)" ""
echo "CPU user $(value cpu_user_s) s, system $(value cpu_sys_s) s; switches voluntary $(value ctx_vol)," \
    "involuntary $(value ctx_invol); anonymous PSS $(value pss_anon_mib) MiB, peak RSS $(value hwm_mib) MiB;" \
    "stand-in panel $(value helper_cpu_s) CPU s, bus $(value bus_cpu_s) CPU s; log lines $(value log_lines)"
