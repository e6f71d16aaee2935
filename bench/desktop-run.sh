# Sourced by the bench scripts that run a program as on a desktop: one run of tools/footprint.sh
# (its own Xvfb display, session bus and sandboxed HOME/XDG folders) with the stand-in panel as
# StatusNotifierWatcher and host, and the program started in its everyday state by
# footprint-start.sh.
#
# desktop_run PANEL PANEL_OUTPUT [TOOL_OPTIONS...] -- LABEL COMMAND [ARGS...]
#   PANEL is the stand-in panel's executable, PANEL_OUTPUT the file that gets what it saw
#   registered; TOOL_OPTIONS go to tools/footprint.sh, whose key=value line is printed.
desktop_run_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# desktop_programs SCRIPT BUILD_DIR: sets `lumatick` and `panel` to the build's counter and stand-in
# panel, as absolute paths (the measuring tool runs programs from a folder of its own), or exits.
desktop_programs() {
    local script=$1 build program
    build=$(cd "${2:?usage: $script BUILD_DIR}" && pwd)
    lumatick=$build/src/app/lumatick
    panel=$build/bench/lumatick_panel_stand_in
    for program in "$lumatick" "$panel"; do
        [ -x "$program" ] || { echo "$script: $program is missing; build first" >&2; exit 2; }
    done
}

desktop_quote() { printf "'%s'" "${1//\'/\'\\\'\'}"; }

desktop_run() {
    local panel=$1 output=$2 options=()
    shift 2
    while [ $# -gt 0 ] && [ "$1" != -- ]; do
        options+=("$1")
        shift
    done
    shift
    "$desktop_run_dir/../tools/footprint.sh" -q "${options[@]}" \
        -H "sh -c 'exec \"\$0\" > \"\$1\"' $(desktop_quote "$panel") $(desktop_quote "$output")" \
        -- "$desktop_run_dir/footprint-start.sh" "$@"
}
