#!/usr/bin/env bash
# Records the README's animation from the real program: builds Sorvel.exe, runs it
# under Wine on a private virtual display, pokes the sheet once and captures the
# window for a few seconds while the ripple runs out to the rim and back.
#
#   tools/record_animation.sh [OUT]    (default docs/sorvel.gif)
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib.sh
out=${1:-docs/sorvel.gif}
period=80    # milliseconds between frames: 12.5 frames a second
before=6     # frames of the still sheet
after=80     # frames after the poke

ensure_packages "${NATIVE_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}"
build_sorvel

frames=$(mktemp -d)
start_private_session 'rm -rf "$frames"'

wine build/windows/bin/Sorvel.exe </dev/null >/dev/null 2>&1 &
sorvel=$!
window=$(find_sorvel_window) || {
    echo "Sorvel's window did not appear"
    exit 1
}
sleep 0.5
xdotool key c  # a flat, still sheet to start from
sleep 0.5

now_us() { echo "${EPOCHREALTIME/./}"; }

# capture FIRST COUNT: COUNT frames of the window, one every $period ms.
capture() {
    local n next left
    next=$(now_us)
    for ((n = $1; n < $1 + $2; n++)); do
        import -window "$window" "$frames/$(printf %04d "$n").miff"
        next=$((next + period * 1000))
        left=$((next - $(now_us)))
        if [ "$left" -gt 0 ]; then
            sleep "$(printf '0.%06d' "$left")"
        fi
    done
}
capture 0 "$before"
xdotool key space
capture "$before" "$after"
xdotool key Escape
wait_for_exit "$sorvel" || {
    echo "Sorvel did not end with 0 after Esc"
    exit 1
}

# Few colours, and each frame stores only what changed since the one before.
convert -delay "$((period / 10))" -loop 0 "$frames"/*.miff \
    +dither -colors 16 -layers OptimizePlus "$out"
echo "$out: $(identify "$out" | wc -l) frames, $(stat -c %s "$out") bytes"
