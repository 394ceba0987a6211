#!/bin/bash
# Builds Letro's animated GIFs from drawing instructions.
#
#   ./make-gifs.sh [output-folder]      (default: the folder holding this script)
#
# Needs Debian's "imagemagick" package (ImageMagick 6, /usr/bin/convert), awk
# and the Liberation Sans Bold font (fonts-liberation). The output is
# deterministic: no random numbers, no clock, no external files.
#
# Backgrounds (solid, no transparency):
#   escritor.gif         145x105  white
#   si.gif, no.gif        65x49   rgb(192,192,192)
#   ani.gif, 2-5.gif      81x137  rgb(255,128,128)
# Every GIF loops forever (-loop 0) and runs at about 10 frames per second.

set -euo pipefail

CONVERT=/usr/bin/convert
if [ ! -x "$CONVERT" ]; then
    echo "make-gifs.sh: $CONVERT not found (apt-get install imagemagick)" >&2
    exit 1
fi

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
OUT=${1:-$HERE}
mkdir -p "$OUT"

FONT=/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf
if [ ! -f "$FONT" ]; then
    FONT=$(fc-match -f '%{file}' 'Liberation Sans:bold' 2>/dev/null || true)
fi
if [ -z "$FONT" ] || [ ! -f "$FONT" ]; then
    echo "make-gifs.sh: Liberation Sans Bold not found (apt-get install fonts-liberation)" >&2
    exit 1
fi

TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT

GREY='rgb(192,192,192)'
SALMON='rgb(255,128,128)'

# frame SIZE BACKGROUND MVG OUTFILE [extra convert options...]
frame() {
    local size=$1 bg=$2 mvg=$3 out=$4
    shift 4
    "$CONVERT" -size "$size" "xc:$bg" -font "$FONT" -draw "$mvg" "$@" \
        +set date:create +set date:modify "$out"
}

# assemble OUTNAME DELAY_LAST FRAME...   (all frames 1/10 s, the last one DELAY_LAST)
assemble() {
    local name=$1 last=$2
    shift 2
    local n=$#
    local args=()
    local i=0
    for f in "$@"; do
        i=$((i + 1))
        if [ "$i" -eq "$n" ]; then
            args+=(-delay "$last" "$f")
        else
            args+=(-delay 10 "$f")
        fi
    done
    "$CONVERT" "${args[@]}" -loop 0 -layers Optimize "$OUT/$name"
}

# ---------------------------------------------------------------- escritor.gif
# A hand holding a pen writes a line of joined-up loops on a ruled sheet.
escritor_mvg() {
    awk -v f="$1" -v nf="$2" 'BEGIN {
        pi = 3.14159265358979
        # sheet, shadow, ruling and margin
        printf "fill #d9dde6 stroke none rectangle 12,10 138,101\n"
        printf "fill #fffef8 stroke #9aa3b5 stroke-width 1 rectangle 8,6 134,97\n"
        printf "stroke #bcd3f2 stroke-width 1 "
        for (y = 24; y <= 90; y += 16) printf "line 9,%d 133,%d ", y, y
        printf "\nstroke #f2a0a0 line 20,7 20,96\n"
        # handwriting: a looped cursive trace, letters of different heights
        split("11 22 10 21 11 11 22 11", hgt, " ")
        a = 2.5; b = 4.2; base = 72; x0 = 25
        tmax = 13 * pi
        tend = pi + (tmax - pi) * f / nf
        printf "fill none stroke #1f3c96 stroke-width 1.7 stroke-linecap round stroke-linejoin round polyline"
        np = 0
        for (t = pi; t <= tend + 1e-9; t += 0.12) {
            k = int((t - pi) / (2 * pi)) + 1
            x = x0 + a * (t - pi) - b * sin(t)
            y = base - hgt[k] * (1 + cos(t)) / 2
            printf " %.2f,%.2f", x, y; np++; lx = x; ly = y
        }
        t = tend; k = int((t - pi) / (2 * pi)) + 1; if (k > 8) k = 8
        x = x0 + a * (t - pi) - b * sin(t); y = base - hgt[k] * (1 + cos(t)) / 2
        printf " %.2f,%.2f", x, y
        if (np == 0) printf " %.2f,%.2f", x, y
        printf "\n"
        # pen (tip at the end of the trace) and the hand holding it
        printf "push graphic-context translate %.2f,%.2f rotate 32\n", x, y
        printf "fill none stroke #2d6fd0 stroke-width 17 stroke-linecap round line 16,-27 160,-27\n"
        printf "fill none stroke #63a8ff stroke-width 13 stroke-linecap butt line 18,-27 160,-27\n"
        printf "fill #f4c08c stroke #a86a3a stroke-width 1 ellipse 9,-27 11,12 0,360\n"
        printf "fill #1e2a78 stroke #0d1440 stroke-width 1 roundrectangle -4.5,-62 4.5,-13 3,3\n"
        printf "fill #4d6cf0 stroke none rectangle -2.5,-60 0,-16\n"
        printf "fill #e8b420 stroke #8a6000 stroke-width 0.8 rectangle -4.5,-40 4.5,-37\n"
        printf "fill #222222 stroke #000000 stroke-width 0.8 polygon -3.5,-13 3.5,-13 2.8,-8 -2.8,-8\n"
        printf "fill #f5cd4a stroke #8a6000 stroke-width 0.8 polygon 0,0 -3,-6 -2.8,-8 2.8,-8 3,-6\n"
        printf "stroke #6b4a00 stroke-width 0.6 line 0,-0.5 0,-5\n"
        printf "fill #f4c08c stroke #a86a3a stroke-width 1 ellipse 2.5,-15 5,3.6 0,360\n"
        printf "fill #f4c08c stroke #a86a3a stroke-width 1 ellipse -3.5,-19 4.2,3.3 0,360\n"
        printf "fill none stroke #a86a3a stroke-width 0.9 path \047M 12,-20 Q 16,-24 17,-30\047\n"
        printf "pop graphic-context\n"
    }'
}

make_escritor() {
    local n=11 frames=() i
    for ((i = 0; i <= n; i++)); do
        local fi=$i
        [ "$fi" -gt "$n" ] && fi=$n
        frame 145x105 white "$(escritor_mvg "$fi" "$n")" "$TMP/esc$i.png"
        frames+=("$TMP/esc$i.png")
    done
    assemble escritor.gif 80 "${frames[@]}"
}

# ---------------------------------------------------------------------- si.gif
# A green tick that pops in and bounces.
si_mvg() {
    awk -v s="$1" -v dy="$2" 'BEGIN {
        printf "push graphic-context translate 32.5,%.2f scale %.3f,%.3f\n", 25 + dy, s, s
        pts = "-14,1 -5,11 15,-12"
        printf "fill none stroke-linecap round stroke-linejoin round\n"
        printf "stroke #1b5e20 stroke-width 12 polyline %s\n", pts
        printf "stroke #34c23a stroke-width 8 polyline %s\n", pts
        printf "stroke #a5f0a0 stroke-width 2 polyline -14,-1 -5,8.5 14,-13\n"
        printf "pop graphic-context\n"
    }'
}

make_si() {
    local scales=(0.25 0.6 1.0 1.15 1.03 0.92 1.0 1.05 1.0 1.0)
    local lifts=(0 0 0 -2 -1 1 0 -1 0 0)
    local frames=() i
    for i in "${!scales[@]}"; do
        frame 65x49 "$GREY" "$(si_mvg "${scales[$i]}" "${lifts[$i]}")" "$TMP/si$i.png"
        frames+=("$TMP/si$i.png")
    done
    assemble si.gif 60 "${frames[@]}"
}

# ---------------------------------------------------------------------- no.gif
# A red cross shaking its "head".
no_mvg() {
    awk -v dx="$1" -v r="$2" 'BEGIN {
        printf "push graphic-context translate %.2f,24.5 rotate %.2f\n", 32.5 + dx, r
        printf "fill none stroke-linecap round\n"
        printf "stroke #7f1010 stroke-width 12 line -12,-12 12,12 line 12,-12 -12,12\n"
        printf "stroke #e53935 stroke-width 8 line -12,-12 12,12 line 12,-12 -12,12\n"
        printf "stroke #ff9a9a stroke-width 2 line -12,-13.5 9,7.5 line 11,-13 -10,8\n"
        printf "pop graphic-context\n"
    }'
}

make_no() {
    local dxs=(0 -5 5 -5 5 -3 3 -1 0 0)
    local rots=(0 -8 8 -8 8 -4 4 -1 0 0)
    local frames=() i
    for i in "${!dxs[@]}"; do
        frame 65x49 "$GREY" "$(no_mvg "${dxs[$i]}" "${rots[$i]}")" "$TMP/no$i.png"
        frames+=("$TMP/no$i.png")
    done
    assemble no.gif 60 "${frames[@]}"
}

# --------------------------------------------------------------------- ani.gif
# Celebration: a smiling gold star, falling confetti and "¡Bien!".
ani_mvg() {
    awk -v f="$1" -v nf="$2" 'BEGIN {
        pi = 3.14159265358979
        # confetti: fixed pseudo-random pieces; each falls 137 px per loop
        seed = 12345
        split("#ffffff #ffe14d #4ea3ff #63d471 #b06cff #ff9f1c", col, " ")
        for (i = 0; i < 16; i++) {
            seed = (seed * 16807) % 2147483647; x = 4 + seed % 73
            seed = (seed * 16807) % 2147483647; y0 = seed % 137
            seed = (seed * 16807) % 2147483647; c = 1 + seed % 6
            seed = (seed * 16807) % 2147483647; a0 = seed % 180
            y = (y0 + 137 * f / nf) % 137
            xs = x + 3 * sin(2 * pi * (f / nf) * 2 + i)
            ang = a0 + 60 * f
            printf "push graphic-context translate %.2f,%.2f rotate %d fill %s stroke none rectangle -2.5,-1.3 2.5,1.3 pop graphic-context\n", xs, y, ang % 360, col[c]
        }
        # star, gently pulsing and wobbling
        s = 1 + 0.08 * sin(2 * pi * f / nf)
        r = 8 * sin(2 * pi * f / nf)
        printf "push graphic-context translate 40.5,54 rotate %.2f scale %.3f,%.3f\n", r, s, s
        for (pass = 0; pass < 2; pass++) {
            if (pass == 0) printf "fill #b36b00 stroke #b36b00 stroke-width 5 stroke-linejoin round polygon"
            else printf "fill #ffd21f stroke #ffe97a stroke-width 1 stroke-linejoin round polygon"
            for (k = 0; k < 10; k++) {
                rad = (k % 2 == 0) ? 29 : 13
                th = -pi / 2 + k * pi / 5
                printf " %.2f,%.2f", rad * cos(th), rad * sin(th) + 2
            }
            printf "\n"
        }
        printf "fill #5a3200 stroke none ellipse -5,-1 2,3 0,360 ellipse 5,-1 2,3 0,360\n"
        printf "fill none stroke #5a3200 stroke-width 2 stroke-linecap round path \047M -6,6 Q 0,12 6,6\047\n"
        printf "fill #ff9a7a stroke none ellipse -10,5 2.5,1.5 0,360 ellipse 10,5 2.5,1.5 0,360\n"
        printf "pop graphic-context\n"
        # twinkles around the star
        for (k = 0; k < 4; k++) {
            ph = (f + 3 * k) % nf
            if (ph < 3) {
                split("12,26 70,30 14,80 68,84", pos, " ")
                split(pos[k + 1], p, ",")
                l = 3 + 2 * ph
                printf "stroke #fffbd0 stroke-width 1.6 stroke-linecap round line %d,%d %d,%d line %d,%d %d,%d\n", p[1] - l, p[2], p[1] + l, p[2], p[1], p[2] - l, p[1], p[2] + l
            }
        }
    }'
}

make_ani() {
    local n=12 frames=() i
    for ((i = 0; i < n; i++)); do
        frame 81x137 "$SALMON" "$(ani_mvg "$i" "$n")" "$TMP/ani$i.png" \
            -gravity south -pointsize 21 \
            -fill none -stroke '#8a1c1c' -strokewidth 4 -annotate +0+12 '¡Bien!' \
            -fill white -stroke none -annotate +0+12 '¡Bien!'
        frames+=("$TMP/ani$i.png")
    done
    assemble ani.gif 10 "${frames[@]}"
}

# --------------------------------------------------------------- 2.gif - 5.gif
# "Try again" faces, from doubtful (2) to crying (5), under a turning
# "start again" arrow.
cara_mvg() {
    awk -v d="$1" -v f="$2" -v nf="$3" 'BEGIN {
        pi = 3.14159265358979
        # turning arrow at the top
        printf "push graphic-context translate 40.5,19 rotate %d\n", 360 * f / nf
        for (pass = 0; pass < 2; pass++) {
            if (pass == 0) printf "fill none stroke #7a1f1f stroke-width 6 stroke-linecap round "
            else printf "fill none stroke #ffffff stroke-width 3 stroke-linecap round "
            printf "path \047M 7.66,-6.43 A 10,10 0 1,1 -0.5,-10\047\n"
        }
        printf "fill #ffffff stroke #7a1f1f stroke-width 1.5 stroke-linejoin round polygon 7,-10 -3,-17 -3,-3\n"
        printf "pop graphic-context\n"
        # face
        split("#ffd84d #ffcf47 #f6c75e #ecc27c", face, " ")
        cx = 40.5; cy = 70; R = 27
        printf "fill %s stroke #9a5b00 stroke-width 2 circle %d,%d %d,%d\n", face[d - 1], cx, cy, cx, cy - R
        # eyebrows: (inner lift, outer drop), growing with the degree
        printf "fill none stroke #5a3200 stroke-width 2.2 stroke-linecap round "
        if (d == 2) {
            printf "line %d,%d %d,%d ", cx - 15, cy - 13, cx - 5, cy - 13
            printf "path \047M %d,%d Q %d,%d %d,%d\047\n", cx + 5, cy - 15, cx + 10, cy - 21, cx + 15, cy - 16
        } else {
            lift = 2 + 2 * (d - 3)
            printf "line %d,%d %d,%d line %d,%d %d,%d\n", cx - 15, cy - 12, cx - 5, cy - 13 - lift, cx + 15, cy - 12, cx + 5, cy - 13 - lift
        }
        # eyes
        blink = (d <= 3 && (f == 5 || f == 11))
        if (d == 5) {
            printf "fill none stroke #5a3200 stroke-width 2.2 stroke-linecap round path \047M %d,%d Q %d,%d %d,%d M %d,%d Q %d,%d %d,%d\047\n", cx - 14, cy - 4, cx - 10, cy - 9, cx - 6, cy - 4, cx + 6, cy - 4, cx + 10, cy - 9, cx + 14, cy - 4
        } else if (blink) {
            printf "fill none stroke #5a3200 stroke-width 2.2 stroke-linecap round line %d,%d %d,%d line %d,%d %d,%d\n", cx - 13, cy - 4, cx - 7, cy - 4, cx + 7, cy - 4, cx + 13, cy - 4
        } else {
            printf "fill #5a3200 stroke none ellipse %d,%d 3,4 0,360 ellipse %d,%d 3,4 0,360\n", cx - 10, cy - 4, cx + 10, cy - 4
            printf "fill #ffffff ellipse %d,%d 1,1.2 0,360 ellipse %d,%d 1,1.2 0,360\n", cx - 9, cy - 6, cx + 11, cy - 6
        }
        # mouth
        printf "fill none stroke #5a3200 stroke-width 2.4 stroke-linecap round stroke-linejoin round "
        if (d == 2) printf "path \047M %d,%d Q %d,%d %d,%d T %d,%d\047\n", cx - 9, cy + 12, cx - 4.5, cy + 9, cx, cy + 12, cx + 9, cy + 11
        if (d == 3) printf "path \047M %d,%d Q %d,%d %d,%d\047\n", cx - 9, cy + 14, cx, cy + 9, cx + 9, cy + 14
        if (d == 4) printf "path \047M %d,%d Q %d,%d %d,%d\047\n", cx - 11, cy + 16, cx, cy + 5, cx + 11, cy + 16
        if (d == 5) printf "fill #7a2a1a path \047M %d,%d Q %d,%d %d,%d Q %d,%d %d,%d Z\047\n", cx - 12, cy + 18, cx, cy + 2, cx + 12, cy + 18, cx, cy + 13, cx - 12, cy + 18
        # tears
        if (d >= 4) {
            ntear = (d == 4) ? 1 : 4
            for (k = 0; k < ntear; k++) {
                side = (k % 2 == 0) ? -1 : 1
                ph = ((f / nf) + (k >= 2 ? 0.5 : 0)) % 1
                tx = cx + side * 11 - 0 * side; ty = cy + 1 + 26 * ph
                tx = tx + side * 3 * ph
                sz = 2.2 + (d - 4) * 0.6
                printf "fill #4aa8ff stroke #1d5fae stroke-width 0.8 path \047M %.1f,%.1f Q %.1f,%.1f %.1f,%.1f A %.1f,%.1f 0 1,1 %.1f,%.1f Q %.1f,%.1f %.1f,%.1f Z\047\n", tx, ty - 2.5 * sz, tx + sz * 0.2, ty - sz * 1.2, tx + sz, ty, sz, sz, tx - sz, ty, tx - sz * 0.2, ty - sz * 1.2, tx, ty - 2.5 * sz
            }
        }
    }'
}

make_caras() {
    local n=12 d i
    for d in 2 3 4 5; do
        local frames=()
        for ((i = 0; i < n; i++)); do
            frame 81x137 "$SALMON" "$(cara_mvg "$d" "$i" "$n")" "$TMP/cara$d-$i.png" \
                -gravity south -pointsize 14 \
                -fill none -stroke '#7a1f1f' -strokewidth 3 -annotate +0+10 '¡Otra vez!' \
                -fill white -stroke none -annotate +0+10 '¡Otra vez!'
            frames+=("$TMP/cara$d-$i.png")
        done
        assemble "$d.gif" 10 "${frames[@]}"
    done
}

make_escritor
make_si
make_no
make_ani
make_caras
echo "GIFs written to $OUT"
