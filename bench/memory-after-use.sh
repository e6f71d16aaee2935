#!/usr/bin/env bash
# The counter's memory after use: started as on a desktop (as bench/footprint.sh does), left to
# settle, its RSS read; then the history and the settings windows are each opened over the
# control bus, drawn, and closed as their close button would; after another settling its RSS
# is read again. Whatever the windows leave behind shows as the difference, whose target is
# at most +10 MiB over the idle figure. The private (anonymous) part of each figure is printed
# beside it: the rest are pages of libraries and fonts mapped from files, which other programs
# share and the kernel may take back at any time.
#
# usage: memory-after-use.sh BUILD_DIR
# environment: MEMORY_SETTLE  seconds before the idle figure and after the windows closed (default 15)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
limit_mib=10

# Inside the sandbox, in place of the program: the counter, the windows, the two figures.
if [ "${1:-}" = --inside ]; then
    lumatick=$2 results=$3 settle=$4
    # Resident and anonymous KiB.
    resident_kib() { awk '/^(Rss|Anonymous):/ { printf "%s ", $2 }' "/proc/$1/smaps_rollup"; }
    call() {
        dbus-send --session --print-reply --dest=com.brightlet.Lumatick /com/brightlet/Lumatick \
            "com.brightlet.Lumatick.$1" > /dev/null
    }
    visible() { xdotool search --onlyvisible --name "^$1\$" 2> /dev/null | head -1; }
    # use METHOD TITLE: opens the window, waits until it is drawn, closes it, waits until gone.
    use() {
        local window tries
        call "$1"
        for tries in $(seq 100); do
            window=$(visible "$2")
            [ -z "$window" ] || break
            sleep 0.1
        done
        [ -n "$window" ] || { echo "memory-after-use.sh: \"$2\" never showed" >&2; return 1; }
        # The content is read and laid out after the window maps.
        sleep 2
        "$here/close-window.py" "$window"
        for tries in $(seq 100); do
            [ -n "$(visible "$2")" ] || return 0
            sleep 0.1
        done
        echo "memory-after-use.sh: \"$2\" did not close" >&2
        return 1
    }
    "$lumatick" &
    counter=$!
    trap 'kill "$counter" 2> /dev/null || true' EXIT
    sleep "$settle"
    read -r idle idle_anonymous <<< "$(resident_kib "$counter")"
    use OpenHistory "Screen Time History"
    use OpenSettings "Lumatick Settings"
    sleep "$settle"
    read -r after after_anonymous <<< "$(resident_kib "$counter")"
    echo "$idle $after $idle_anonymous $after_anonymous" > "$results"
    exit 0
fi

. "$here/desktop-run.sh"
desktop_programs memory-after-use.sh "${1:-}"
for tool in xdotool dbus-send; do
    command -v "$tool" > /dev/null || { echo "memory-after-use.sh: $tool is needed" >&2; exit 2; }
done
settle=${MEMORY_SETTLE:-15}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "memory-after-use.sh: idle, then history and settings opened and closed (${settle} s settling each)" >&2
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
# The window only bounds the run: it ends once the counter is gone.
desktop_run "$panel" "$work/panel" -s 0 -w $((2 * settle + 60)) -l memory -o "$work/log" \
    -- lumatick "$here/memory-after-use.sh" --inside "$lumatick" "$work/results" "$settle" > /dev/null
if [ ! -s "$work/results" ]; then
    echo "memory-after-use.sh: no figures; the counter's output:" >&2
    tail -n 20 "$work/log" >&2 || true
    exit 1
fi
load_after=$(cut -d' ' -f1-3 /proc/loadavg)
read -r idle after idle_anonymous after_anonymous < "$work/results"
echo
echo "Memory after use: RSS idle, and after the history and settings windows were each opened and"
echo "closed. Load average before ${load_before}, after ${load_after}; $(nproc) cores."
awk -v idle="$idle" -v after="$after" -v idle_anonymous="$idle_anonymous" \
    -v after_anonymous="$after_anonymous" -v limit="$limit_mib" 'BEGIN {
    difference = (after - idle) / 1024
    printf "%-22s %9s %11s %11s\n", "", "idle MiB", "after MiB", "difference"
    printf "%-22s %9.1f %11.1f %+10.1f\n", "lumatick", idle / 1024, after / 1024, difference
    printf "%-22s %9.1f %11.1f %+10.1f\n", "  of which private", idle_anonymous / 1024, after_anonymous / 1024,
        (after_anonymous - idle_anonymous) / 1024
    printf "%-22s %9s %11s %11s  %s\n", "lumatick target", "-", "-", "<= +" limit, (difference <= limit) ? "meets" : "MISSES"
}'
