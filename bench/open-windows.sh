#!/usr/bin/env bash
# What each window of the running counter costs while it is open and left alone: the counter
# is started as bench/footprint.sh starts it (its own Xvfb display, session bus, sandboxed
# HOME/XDG folders, the stand-in panel), one window is opened (bench/open-window.sh), the
# counter and the X server are left to settle and then measured without user input by
# tools/footprint.sh; one run per window, one window after another. Still windows should cost
# at most 2 % of a core; the panel, which shows the live figure each second, as well. The
# first-run window animates for as long as it is open: its figure stands next to what it cost
# before its animations were made cheaper (4.35 CPU s per 30 s on real desktops); closed, it
# should leave nothing running behind it.
#
# usage: open-windows.sh BUILD_DIR
# environment: OPEN_WINDOWS_SECONDS  measurement window per window (default 20)
#              OPEN_WINDOWS_SETTLE   from the counter's start to the measurement (default 10)
#              OPEN_WINDOWS          the windows to measure (default: all of them)
#              OPEN_WINDOWS_SHOTS    a folder for a screenshot of each at the end of its window
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/desktop-run.sh"
desktop_programs open-windows.sh "${1:-}"
seconds=${OPEN_WINDOWS_SECONDS:-20}
settle=${OPEN_WINDOWS_SETTLE:-10}
windows=(${OPEN_WINDOWS-history settings about panel onboarding onboarding-confirmation onboarding-closed})
target_pct=2
original_s=4.35 original_window_s=30

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

measure() {
    local window=$1 start=("$here/footprint-start.sh" lumatick) shot=()
    [ -z "${OPEN_WINDOWS_SHOTS:-}" ] || shot=(-p "$OPEN_WINDOWS_SHOTS/$window.png")
    # The first run is the one without the flag that the welcome screens were seen.
    case $window in onboarding*) start=() ;; esac
    echo "open-windows.sh: measuring $window (${settle} s settling, ${seconds} s window)" >&2
    "$here/../tools/footprint.sh" -q -s "$settle" -w "$seconds" -l "$window" -o "$work/$window.log" \
        "${shot[@]}" -H "$panel" -- "$here/open-window.sh" "$window" "${start[@]}" "$lumatick" > "$work/$window.line" ||
        echo "label=$window alive=0" > "$work/$window.line"
}

value() { sed -n "s/.*\b$2=\([^ ]*\).*/\1/p" "$work/$1.line"; }
percent() { awk -v cpu="$1" -v window="$(value "$2" window_s)" 'BEGIN { printf "%.2f", 100 * cpu / window }'; }
verdict() { awk -v value="$1" -v limit="$2" 'BEGIN { print (value <= limit) ? "meets" : "MISSES" }'; }
opened() { grep -q "^open-window.sh: opened" "$work/$1.log" 2> /dev/null; }
row() { printf '%-24s %9s %9s %9s %9s  %s\n' "$@"; }

report() {
    local window=$1 cpu pct x_cpu note=""
    if [ "$(value "$window" alive)" != 1 ]; then
        row "$window" dead - - - "see its output below"
        return
    fi
    if ! opened "$window"; then
        row "$window" - - - - "the window could not be opened"
        return
    fi
    cpu=$(value "$window" cpu_s)
    x_cpu=$(value "$window" x_cpu_s)
    pct=$(percent "$cpu" "$window")
    case $window in
    onboarding | onboarding-confirmation)
        note=$(awk -v cpu="$cpu" -v window="$(value "$window" window_s)" -v s="$original_s" -v w="$original_window_s" \
            'BEGIN { printf ", %.2f s per %d s where it once took %.2f s (%.0f %%)", cpu * w / window, w, s, 100 * cpu * w / window / s }')
        ;;
    esac
    row "$window" "$cpu" "$pct" "$x_cpu" "$(percent "$x_cpu" "$window")" \
        "$(verdict "$pct" "$target_pct")$note"
}

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
for window in "${windows[@]}"; do measure "$window"; done
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

echo
echo "Open windows left alone: ${seconds} s measured per window after ${settle} s from the counter's start,"
echo "each window in its own run. Load average before ${load_before}, after ${load_after}; $(nproc) cores."
row "" "CPU s" "% core" "X CPU s" "X % core" "counter <= ${target_pct} % of a core"
for window in "${windows[@]}"; do report "$window"; done

status=0
for window in "${windows[@]}"; do
    [ "$(value "$window" alive)" = 1 ] && opened "$window" && continue
    echo "$window: the counter did not last the run or the window did not open; its output:" >&2
    tail -n 20 "$work/$window.log" >&2 2> /dev/null || true
    status=1
done
exit $status
