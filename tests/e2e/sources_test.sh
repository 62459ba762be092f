#!/usr/bin/env bash
# Sources named in scripts that the console's code page lacks: a Cyrillic
# and a Chinese directory, with blanks, %, &, ^ and parentheses besides, are
# listed through the command interpreter and their pictures shown, each in an
# automatic start from the command line.
#
# Usage: sources_test.sh PATH/TO/pictavo.exe

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/pictures.sh"

EXE=$(abs_path "${1:-}")
TITLE='Pictavo - V1.13a - 06.11.2004'

e2e_require_exe "$EXE"
e2e_setup
reg_set Wait 0

# show_source NAME DIR INDEX: the picture INDEX of the colour tree, one
# directory below DIR, is found and shown from the source DIR\*.*.
show_source() {
    local name=$1 dir=$2 index=$3 r g b
    mkdir -p "$dir/Unter"
    read -r r g b <<<"${PICTURE_COLOURS[$index]}"
    convert -size "${PICTURE_SIZES[$index]}" "xc:rgb($r,$g,$b)" "$dir/Unter/bild.png" || fail "convert failed"
    start_exe "$name" "$EXE" "Z:${dir//\//\\}\\*.*" '!'
    local pid=$E2E_LAST_PID
    wait_full_screen "$TITLE" 60 >/dev/null || fail "$name: no picture window"
    expect_picture "$name" "$index"
    press Escape
    wait_end "$pid" 20
}

show_source cyrillic "$E2E_WORK/Фото 100% & (Урлауб) ^" 0
show_source chinese "$E2E_WORK/照片 相册" 2
