# shellcheck shell=bash
# A small tree of solid-coloured pictures whose place on the screen can be
# checked pixel by pixel. Sourced after lib.sh.

# The pictures in listing order: file, width, height, colour as "r g b".
PICTURE_DIRS=("1 Ärger & Freude (1)" "2 100% Ölfarben" "3 Zebra ^ß")
PICTURE_FILES=("1 Ärger & Freude (1)/a rot.png" "1 Ärger & Freude (1)/b grün.jpg"
    "2 100% Ölfarben/c blau.bmp" "2 100% Ölfarben/d gelb.gif" "3 Zebra ^ß/e violett.jpeg")
PICTURE_SIZES=("800x600" "600x800" "400x300" "300x300" "640x480")
PICTURE_COLOURS=("255 0 0" "0 160 0" "0 0 255" "255 255 0" "160 0 160")

# make_colour_tree DIR: the pictures above, plus a text file and a damaged one
# that the scan must leave out or show as broken.
make_colour_tree() {
    local root=$1 i
    for i in "${!PICTURE_FILES[@]}"; do
        mkdir -p "$root/$(dirname "${PICTURE_FILES[$i]}")"
        read -r r g b <<<"${PICTURE_COLOURS[$i]}"
        convert -size "${PICTURE_SIZES[$i]}" "xc:rgb($r,$g,$b)" "$root/${PICTURE_FILES[$i]}" ||
            fail "convert could not make ${PICTURE_FILES[$i]}"
    done
    echo "keine Bilder" >"$root/notizen.txt"
}

# pixel SHOT X Y: "r g b" of one pixel.
pixel() {
    convert "$1" -format "%[fx:int(255*p{$2,$3}.r+0.5)] %[fx:int(255*p{$2,$3}.g+0.5)] %[fx:int(255*p{$2,$3}.b+0.5)]" info:
}

# near "r g b" "r g b": the colours differ by at most 48 in every channel.
near() {
    local a b
    read -r -a a <<<"$1"
    read -r -a b <<<"$2"
    local i
    for i in 0 1 2; do
        local d=$((a[i] - b[i]))
        ((d < 0)) && d=$((-d))
        ((d <= 48)) || return 1
    done
}

# wait_pixel NAME X Y "r g b" SECONDS: takes screenshots until the pixel has
# that colour; leaves the screenshot's path in SHOT.
wait_pixel() {
    local name=$1 x=$2 y=$3 want=$4 secs=$5 got i
    for ((i = 0; i < secs * 2; i++)); do
        SHOT=$(screenshot "$name")
        got=$(pixel "$SHOT" "$x" "$y")
        if near "$got" "$want"; then
            return 0
        fi
        sleep 0.5
    done
    fail "$name: pixel $x,$y is ($got), expected ($want) within $secs s"
}

# wait_in_front NAME WIN "r g b" SECONDS: takes screenshots until the middle
# of the window WIN shows something else than the colour of the picture
# behind it, that is until WIN is drawn in front of the picture.
wait_in_front() {
    local name=$1 win=$2 colour=$3 secs=$4 x y w h got i
    read -r x y w h <<<"$(window_geometry "$win")"
    for ((i = 0; i < secs * 2; i++)); do
        SHOT=$(screenshot "$name")
        got=$(pixel "$SHOT" $((x + w / 2)) $((y + h / 2)))
        if ! near "$got" "$colour"; then
            log "$name: window $win in front of the picture"
            return 0
        fi
        sleep 0.5
    done
    fail "$name: window $win is not in front: its middle shows the picture's colour ($got) after $secs s"
}

# caption_pixels SHOT: how many pixels of the caption's light grey lie in the
# screen's top left corner.
caption_pixels() {
    convert "$1" -crop 500x40+0+0 +repage -fuzz 8% -fill black +opaque "rgb(208,208,208)" \
        -fill white -opaque "rgb(208,208,208)" -format "%[fx:int(mean*w*h)]" info:
}

# expect_picture NAME INDEX: picture INDEX (0-based) fills the screen's
# middle, fitted and centred on black, with its caption at the top left.
expect_picture() {
    local name=$1 index=$2 shot w h screen_w=1920 screen_h=1080 left
    wait_pixel "$name" 960 540 "${PICTURE_COLOURS[$index]}" 30
    shot=$SHOT
    IFS=x read -r w h <<<"${PICTURE_SIZES[$index]}"
    # The height fills the screen when the width would not; integer pixels of the fitted width.
    if ((w * screen_h > h * screen_w)); then
        left=0
    else
        left=$(((screen_w - w * screen_h / h) / 2))
    fi
    if ((left > 20)); then
        near "$(pixel "$shot" $((left - 10)) 540)" "0 0 0" || fail "$name: no black border left of the picture"
        near "$(pixel "$shot" $((left + 10)) 540)" "${PICTURE_COLOURS[$index]}" ||
            fail "$name: the picture does not start at x=$left"
    fi
    local grey
    grey=$(caption_pixels "$shot")
    ((grey > 30)) || fail "$name: no caption text at the top left (only $grey light pixels)"
    log "$name: picture $((index + 1)) on screen, caption visible"
}

# wait_sized TITLE SECONDS TEST [ARGS...]: the id of a visible window with
# that title whose size passes TEST ARGS... WIDTH HEIGHT; status 1 when none
# appears in time.
wait_sized() {
    local title=$1 secs=$2 i id w h
    shift 2
    for ((i = 0; i < secs * 10; i++)); do
        for id in $(find_windows "$title"); do
            read -r _ _ w h <<<"$(window_geometry "$id")"
            if "$@" "$w" "$h"; then
                printf '%s\n' "$id"
                return 0
            fi
        done
        sleep 0.1
    done
    return 1
}
covers_screen() { (($1 == 1920 && $2 == 1080)); }
smaller_than() { (($3 < $1 && $4 < $2)); }

# wait_full_screen TITLE SECONDS: a window with that title covering the whole screen.
wait_full_screen() { wait_sized "$1" "$2" covers_screen; }

# wait_small_window TITLE MAXW MAXH SECONDS: a window with that title smaller
# than MAXW x MAXH (a dialog in front of a full-screen window of the same
# title); empty when none appears in time.
wait_small_window() { wait_sized "$1" "$4" smaller_than "$2" "$3" || true; }
