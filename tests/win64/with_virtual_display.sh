#!/usr/bin/env bash
# Runs a command on a virtual X display of its own: Xvfb on a free display number, stopped when
# the command ends, however it ends. With WINEPREFIX set, the prefix's wineserver is first left
# to finish, so that the command's Wine session starts on this display and not on the one of
# whatever ran before it; and it is left to finish again before the display goes.
set -uo pipefail

if (($# == 0)); then
    echo "usage: $0 command [argument...]" >&2
    exit 2
fi

work=$(mktemp -d)
xvfb=
wait_for_wine() {
    [[ -n ${WINEPREFIX:-} ]] && timeout 60 wineserver -w 2>/dev/null
    return 0
}
stop() {
    wait_for_wine
    if [[ -n $xvfb ]]; then
        kill "$xvfb" 2>/dev/null
        wait "$xvfb" 2>/dev/null
    fi
    rm -rf "$work"
}
trap stop EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

wait_for_wine

# Xvfb picks the first free display and writes its number once it accepts connections.
mkfifo "$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" \
    2>"$work/xvfb.log" &
xvfb=$!
display=
read -r -t 30 display <"$work/display"
if [[ -z $display ]]; then
    echo "with_virtual_display: Xvfb did not start" >&2
    cat "$work/xvfb.log" >&2
    exit 1
fi

DISPLAY=:$display "$@"
