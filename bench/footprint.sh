#!/usr/bin/env bash
# What the running counter costs the machine next to comparable tray programs from Debian
# (workrave, safeeyes, rsibreak), all measured the same way in one run: each started as on a
# desktop (its own private Xvfb display, session bus and sandboxed HOME/XDG folders, with the
# stand-in panel as StatusNotifierWatcher and host), in its everyday state (first-run welcome
# screens already dismissed, see footprint-start.sh), left to settle, then measured without
# user input by tools/footprint.sh over its whole process tree, one program after another.
# Beside them, measured the same way, the floor: the least a program costs that shows a label
# changing each second on the panel (bench/LabelTickFloorMain.cpp).
# Peers that are missing are installed first (apt-get, through sudo when not root); a peer
# that cannot be installed is left out, one that dies is reported as dead.
#
# usage: footprint.sh BUILD_DIR
# environment: FOOTPRINT_SECONDS  measurement window per program (default 120)
#              FOOTPRINT_SETTLE   settling time before it (default 20)
#              FOOTPRINT_PEERS    the peers to measure (default "workrave safeeyes rsibreak"; empty: none)
# A quick check of the whole thing: FOOTPRINT_SECONDS=10 FOOTPRINT_SETTLE=10 make bench
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/desktop-run.sh"
desktop_programs footprint.sh "${1:-}"
window=${FOOTPRINT_SECONDS:-120}
settle=${FOOTPRINT_SETTLE:-20}
peers=(${FOOTPRINT_PEERS-workrave safeeyes rsibreak})

# What each peer needs to run as it does on a desktop: safeeyes shows its tray item only
# through AppIndicator, and rsibreak remembers "don't show the welcome again" only with the
# KDE integration plugin (both are recommendations the packages do not pull in by themselves).
packages_of() {
    case $1 in
    safeeyes) echo safeeyes gir1.2-ayatanaappindicator3-0.1 ;;
    rsibreak) echo rsibreak frameworkintegration ;;
    *) echo "$1" ;;
    esac
}

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

# Installs each peer's missing packages, one peer at a time so that one that cannot be had
# does not keep the others out.
install_missing() {
    local peer package missing as_root=()
    command -v apt-get > /dev/null || { echo "footprint.sh: no apt-get; measuring what is present" >&2; return 0; }
    if [ "$(id -u)" != 0 ]; then
        if ! command -v sudo > /dev/null; then
            echo "footprint.sh: not root and no sudo, cannot install peers; measuring what is present" >&2
            return 0
        fi
        # Without a terminal to ask for a password on, only a password-less sudo can work.
        as_root=(sudo)
        [ -t 0 ] || as_root=(sudo -n)
    fi
    for peer in "${peers[@]}"; do
        missing=()
        for package in $(packages_of "$peer"); do
            installed "$package" || missing+=("$package")
        done
        [ ${#missing[@]} -gt 0 ] || continue
        echo "footprint.sh: installing ${missing[*]}" >&2
        "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
            "${missing[@]}" >&2 ||
            echo "footprint.sh: installing ${missing[*]} failed; measuring what is present" >&2
    done
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# measure LABEL COMMAND...: one run of tools/footprint.sh; keeps its key=value line, the
# program's output and what the stand-in panel saw registered in $work.
measure() {
    local label=$1
    shift
    echo "footprint.sh: measuring $label (${settle} s settling, ${window} s window)" >&2
    desktop_run "$panel" "$work/$label.panel" -s "$settle" -w "$window" -l "$label" -o "$work/$label.log" \
        -- "$label" "$@" > "$work/$label.line" ||
        echo "label=$label alive=0 exit=footprint.sh_failed died_at_s=-" > "$work/$label.line"
}

value() { sed -n "s/.*\b$2=\([^ ]*\).*/\1/p" "$work/$1.line"; }
alive() { [ "$(value "$1" alive)" = 1 ]; }
# workrave has only an XEmbed tray icon, which no StatusNotifier host shows: without an XEmbed
# tray it keeps its small timer window open instead, as on a desktop without one.
on_panel() { if grep -q '^item registered' "$work/$1.panel" 2> /dev/null; then echo yes; else echo no; fi; }

# The floor: a program that only puts an item on the panel, wakes once a second and sends the
# label the way the counter does (bench/LabelTickFloorMain.cpp). What the counter costs above it
# is its own; what the floor costs is the machine's price for a label that changes each second.
floor=$(dirname "$panel")/lumatick_label_tick_floor
floors=()
[ -x "$floor" ] && floors=(floor)

install_missing
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
measure lumatick "$lumatick"
[ ${#floors[@]} -eq 0 ] || measure floor "$floor"
measured=()
for peer in "${peers[@]}"; do
    if command -v "$peer" > /dev/null; then
        measure "$peer" "$peer"
        measured+=("$peer")
    else
        echo "footprint.sh: $peer is not installed; left out" >&2
    fi
done
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

columns=(cpu_s ctx_per_s rss_mib pss_mib uss_mib)
row() { printf '%-22s %11s %11s %9s %9s %9s  %s\n' "$@"; }
figures() {
    if alive "$1"; then
        local key out=()
        for key in "${columns[@]}"; do out+=("$(value "$1" "$key")"); done
        row "$1" "${out[@]}" "$(value "$1" procs)/$(value "$1" threads), item on panel: $(on_panel "$1")"
    else
        row "$1" dead - - - - "exit $(value "$1" exit) after $(value "$1" died_at_s) s"
    fi
}
# best KEY: the lowest figure among the peers that lasted the run, and whose it is.
best() {
    local peer
    for peer in "${measured[@]}"; do
        alive "$peer" && echo "$(value "$peer" "$1") $peer"
    done | sort -g | head -1
}
ratio() { awk -v ours="$1" -v theirs="$2" 'BEGIN { if (theirs > 0) printf "%.2fx", ours / theirs; else print "-" }'; }
verdict() { awk -v value="$1" -v limit="$2" 'BEGIN { print (value <= limit) ? "meets" : "MISSES" }'; }

echo
echo "Whole-process footprint, idle: ${window} s measured after ${settle} s settling, one program after"
echo "another, each on its own Xvfb display and session bus with the stand-in panel."
echo "Load average before ${load_before}, after ${load_after}; $(nproc) cores."
row "" "CPU s/${window}s" "switches/s" "RSS MiB" "PSS MiB" "USS MiB" "processes/threads"
figures lumatick
for program in "${floors[@]}" "${measured[@]}"; do figures "$program"; done

if alive lumatick; then
    best_figures=() owners=() ratios=()
    for key in "${columns[@]}"; do
        read -r figure whose <<< "$(best "$key")"
        best_figures+=("${figure:--}")
        owners+=("${whose:--}")
        ratios+=("$(ratio "$(value lumatick "$key")" "${figure:-0}")")
    done
    if [ "${best_figures[0]}" != - ]; then
        row "best peer" "${best_figures[@]}" "$(IFS=,; echo "${owners[*]}")"
        row "lumatick / best peer" "${ratios[@]}"
    else
        echo "No peer lasted its run: no ratios."
    fi
    # Our targets are per 120 s of CPU; a shorter window scales the CPU one.
    cpu_target=$(awk -v w="$window" 'BEGIN { printf "%.3f", 0.05 * w / 120 }')
    row "lumatick target" "<= $cpu_target" "<= 1.5" "<= 35" - - \
        "$(verdict "$(value lumatick cpu_s)" "$cpu_target") $(verdict "$(value lumatick ctx_per_s)" 1.5) $(verdict "$(value lumatick rss_mib)" 35)"
    if [ ${#floors[@]} -gt 0 ] && alive floor; then
        above=()
        for key in "${columns[@]}"; do
            above+=("$(awk -v ours="$(value lumatick "$key")" -v floor="$(value floor "$key")" \
                'BEGIN { printf "%+.2f", ours - floor }')")
        done
        row "lumatick - floor" "${above[@]}"
    fi
fi
echo "floor: a program that only puts an item on the panel, wakes once a second and sends the"
echo "label the way Lumatick does (through libdbus, from its main thread)."

echo
for program in lumatick "${floors[@]}" "${measured[@]}"; do
    alive "$program" || continue
    echo "$program: CPU user $(value "$program" cpu_user_s) s, system $(value "$program" cpu_sys_s) s;" \
        "processes $(value "$program" names); peak RSS $(value "$program" hwm_mib) MiB;" \
        "bus services it started $(value "$program" bus_procs) ($(value "$program" bus_cpu_s) CPU s);" \
        "X server $(value "$program" x_cpu_s) CPU s; log lines $(value "$program" log_lines)"
done

status=0
for program in lumatick "${floors[@]}" "${measured[@]}"; do
    alive "$program" && continue
    echo "$program did not last the run; its output:" >&2
    tail -n 20 "$work/$program.log" >&2 2> /dev/null || true
    [ "$program" != lumatick ] || status=1
done
exit $status
