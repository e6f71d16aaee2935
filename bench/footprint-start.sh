#!/bin/sh
# Starts a program measured by bench/footprint.sh in its everyday state rather than its first
# run: writes into the sandboxed HOME the settings a user who has dismissed its welcome screens
# would have, then becomes the program (exec keeps the process the measurement follows).
# usage: footprint-start.sh lumatick|workrave|safeeyes|rsibreak COMMAND [ARGS...]
set -eu
program=${1:?usage: footprint-start.sh PROGRAM COMMAND [ARGS...]}
shift
config=${XDG_CONFIG_HOME:-$HOME/.config}
mkdir -p "$config"
case $program in
lumatick)
    # The onboarding window animates for as long as it is open; a user sees it once.
    mkdir -p "$config/Brightlet"
    printf '[General]\nonboardingShown=true\n' > "$config/Brightlet/Lumatick.conf"
    ;;
rsibreak)
    # The "Welcome to RSIBreak" box, answered with "don't show again".
    printf '[Notification Messages]\ndont_show_welcome_again_for_001=false\n' > "$config/rsibreakrc"
    ;;
esac
exec "$@"
