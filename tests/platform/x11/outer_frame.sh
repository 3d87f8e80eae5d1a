#!/usr/bin/env bash
# Prints "x y width height" of a window's outer rectangle (frame included),
# read with the X utilities, independently of the window family.
#   outer_frame.sh WINDOW-ID
set -euo pipefail
info=$(xwininfo -id "$1")
read -r l r t b < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
x=$(sed -n 's/.*Absolute upper-left X: *//p' <<< "$info")
y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<< "$info")
w=$(sed -n 's/.*Width: *//p' <<< "$info")
h=$(sed -n 's/.*Height: *//p' <<< "$info")
echo "$((x - l)) $((y - t)) $((w + l + r)) $((h + t + b))"
