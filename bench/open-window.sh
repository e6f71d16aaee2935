#!/bin/sh
# Starts a program measured by bench/open-windows.sh with one of its windows open: leaves behind
# a short-lived helper that waits for the counter on the session bus and opens the window the
# way a user would (bus call, click), then becomes the program (exec keeps the process the
# measurement follows). The helper is detached, so it is not the counter's child and its own
# CPU, spent before the measurement starts, is not the counter's.
# usage: open-window.sh history|settings|about|panel|onboarding|onboarding-confirmation|onboarding-closed
#        COMMAND [ARGS...]
set -eu
window=${1:?usage: open-window.sh WINDOW COMMAND [ARGS...]}
shift

# Sends the call until the counter answers it: it comes on the session bus a while after the
# program starts, and owns its bus name a moment before its control object exists.
call() {
    tries=0
    until dbus-send --session --print-reply --dest=com.brightlet.Lumatick /com/brightlet/Lumatick \
        "com.brightlet.Lumatick.$1" > /dev/null 2>&1; do
        tries=$((tries + 1))
        [ "$tries" -lt 150 ] || { echo "open-window.sh: the counter never answered $1" >&2; exit 1; }
        sleep 0.1
    done
}

# click_in --name|--class PATTERN X Y: a left click at X,Y inside the first shown window whose
# name or class matches.
click_in() {
    id=$(xdotool search --sync --onlyvisible "$1" "$2" | head -1)
    eval "$(xdotool getwindowgeometry --shell "$id")"
    # Entrances finish before the click, so the button is where it rests.
    sleep 3
    xdotool mousemove "$((X + $3))" "$((Y + $4))" click 1
}

open() {
    case $window in
    history) call OpenHistory ;;
    settings) call OpenSettings ;;
    # The About page is the settings window's second of three tabs along its top.
    about) call OpenSettings && click_in --name '^Lumatick Settings$' 210 24 ;;
    panel) call ShowPanel ;;
    # The first run shows the welcome screen by itself, the counter's only window; "Get Started"
    # sits centred near its bottom.
    onboarding) ;;
    onboarding-confirmation) click_in --class '^lumatick$' 260 352 ;;
    # Closed with the cross at its top right corner: what is left should cost what no window does.
    onboarding-closed) click_in --class '^lumatick$' 495 25 ;;
    *) echo "open-window.sh: no window called $window" >&2 && return 1 ;;
    esac
}

# The measurement keeps the program's output; this line there tells that the window was opened.
(open > /dev/null && echo "open-window.sh: opened $window" >&2 &)
exec "$@"
