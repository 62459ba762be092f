#!/usr/bin/env bash
# Photos as cameras store them: the pixels as the sensor saw them and an Exif
# orientation that says how to turn them. Each JPEG, seen upright, has red,
# green, blue and yellow quadrants; on the screen the quadrants stand where
# an upright picture has them, and a portrait photo gets black bars left and
# right, also for the pictures decoded ahead while the one before is shown.
#
# Usage: upright_test.sh PATH/TO/pictavo.exe

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/pictures.sh"

EXE=$(abs_path "${1:-}")
TITLE='Pictavo - V1.13a - 06.11.2004'

e2e_require_exe "$EXE"
command -v exiftool >/dev/null 2>&1 || fail "exiftool missing (run tools/install-deps)"
e2e_setup

# Top left, top right, bottom left, bottom right.
QUADRANTS=("255 0 0" "0 160 0" "0 0 255" "255 255 0")
# File, Exif orientation, how the upright picture is turned to be stored the
# way a camera stores it, size seen upright. Each picture has a size of its
# own, so that the screen tells one from the one before.
TURNED=("1 quer.jpg" "2 kopfüber.jpg" "3 hochkant rechts.jpg" "4 hochkant links.jpg")
ORIENTATIONS=(1 3 6 8)
STORE_TURNED=("" "-rotate 180" "-rotate 270" "-rotate 90")
UPRIGHT_SIZES=("800x600" "1000x600" "600x800" "480x960")

ROOT="$E2E_WORK/Fotos"
mkdir -p "$ROOT"
q=()
for c in "${QUADRANTS[@]}"; do q+=("xc:rgb(${c// /,})"); done
for i in "${!TURNED[@]}"; do
    IFS=x read -r w h <<<"${UPRIGHT_SIZES[$i]}"
    # shellcheck disable=SC2086
    convert -size "$((w / 2))x$((h / 2))" \( "${q[0]}" "${q[1]}" +append \) \( "${q[2]}" "${q[3]}" +append \) \
        -append ${STORE_TURNED[$i]} -quality 95 "$ROOT/${TURNED[$i]}" || fail "convert could not make ${TURNED[$i]}"
    exiftool -q -n -overwrite_original -Orientation="${ORIENTATIONS[$i]}" "$ROOT/${TURNED[$i]}" ||
        fail "exiftool could not tag ${TURNED[$i]}"
done
SOURCE="$(wine_path "$ROOT")\\*.*"

reg_set SourceFile "$SOURCE"
reg_set ContinueDir "$SOURCE"
reg_set Continue 1
reg_set Wait 0

# shows_upright SHOT INDEX: SHOT shows picture INDEX fitted on its upright
# size and centred, its quadrants in place, black left and right of it;
# otherwise leaves what differs in WRONG.
shows_upright() {
    local shot=$1 index=$2 screen_w=1920 screen_h=1080 w h fw fh left top k x y got
    IFS=x read -r w h <<<"${UPRIGHT_SIZES[$index]}"
    if ((w * screen_h > h * screen_w)); then
        fw=$screen_w fh=$((h * screen_w / w))
    else
        fw=$((w * screen_h / h)) fh=$screen_h
    fi
    left=$(((screen_w - fw) / 2)) top=$(((screen_h - fh) / 2))
    # The quadrants' middles, then just inside and just outside both sides.
    local -a probes=()
    for k in 0 1 2 3; do
        probes+=("$((left + fw / 4 + k % 2 * fw / 2)) $((top + fh / 4 + k / 2 * fh / 2)) ${QUADRANTS[$k]}")
    done
    probes+=("$((left + 10)) $((top + fh - 10)) ${QUADRANTS[2]}" "$((left + fw - 10)) $((top + 10)) ${QUADRANTS[1]}"
        "$((left - 10)) 540 0 0 0" "$((left + fw + 10)) 540 0 0 0")
    for k in "${probes[@]}"; do
        read -r x y r g b <<<"$k"
        got=$(pixel "$shot" "$x" "$y")
        near "$got" "$r $g $b" || {
            WRONG="at $x,$y ($got), expected ($r $g $b) for a $fw x $fh picture at $left,$top"
            return 1
        }
    done
}

# expect_upright NAME INDEX: takes screenshots until picture INDEX is shown upright.
expect_upright() {
    local name=$1 index=$2 i shot
    for ((i = 0; i < 60; i++)); do
        shot=$(screenshot "$name")
        if shows_upright "$shot" "$index"; then
            log "$name: ${TURNED[$index]} upright"
            return 0
        fi
        sleep 0.5
    done
    fail "$name: ${TURNED[$index]} is not shown upright: $WRONG"
}

start_exe show "$EXE"
PID=$E2E_LAST_PID
MAIN=$(wait_window "$TITLE" 60) || fail "no main window"
send_key "$MAIN" Return
wait_full_screen "$TITLE" 60 >/dev/null || fail "the picture window did not cover the screen"
expect_upright orientation-1 0
for i in 1 2 3; do
    press Right
    expect_upright "orientation-${ORIENTATIONS[$i]}" "$i"
done
press Escape
wait_visible "$MAIN" 20 || fail "the main window did not come back after Esc"
send_key "$MAIN" Escape
wait_end "$PID" 20
