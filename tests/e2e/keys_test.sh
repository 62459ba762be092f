#!/usr/bin/env bash
# Every key the program gives, typed as a user types it, row by row through
# tables: the source dialog (Enter hands the text back; Esc and the close
# box leave the source as it was), the show (Space and P pause and resume,
# the keys for the next and previous picture and directory, Esc), the go-to
# dialog (a typed number replaces the one shown, Enter, Esc, Alt+O, Alt+A,
# the scroll bar's arrows) and the main window (Esc presses Exit, Enter
# presses Start, Delete deletes the kept index, also while the text box has
# the focus, and the access keys of the check boxes, Start and Exit).
#
# Usage: keys_test.sh PATH/TO/pictavo.exe

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/pictures.sh"

EXE=$(abs_path "${1:-}")
TITLE='Pictavo - V1.13a - 06.11.2004'
SOURCE_DIALOG='Quell-Datei(en):'

e2e_require_exe "$EXE"
e2e_setup

ROOT="$E2E_WORK/Bilder"
make_colour_tree "$ROOT"
SOURCE="$(wine_path "$ROOT")\\*.*"
# shellcheck disable=SC2034 # (a source dialog row names it)
ELSEWHERE='C:\nirgendwo\*.JPG'
log "source $SOURCE"

# picture_on SHOT: the index of the picture whose colour fills the screen's
# middle, or -1.
picture_on() {
    local got i
    got=$(pixel "$1" 960 540)
    for i in "${!PICTURE_COLOURS[@]}"; do
        near "$got" "${PICTURE_COLOURS[$i]}" && echo "$i" && return
    done
    echo -1
}

# wait_steady NAME SECONDS: one picture stays on the screen for 3 s (three
# ticks of a display time of 1 s), within SECONDS; leaves it in ON.
wait_steady() {
    local name=$1 secs=$2 since now start
    start=$(date +%s%N)
    ON=-2
    while true; do
        now=$(picture_on "$(screenshot "$name")")
        if ((now != ON || now < 0)); then
            ON=$now
            since=$(date +%s%N)
        elif (($(date +%s%N) - since >= 3000000000)); then
            log "$name: picture $((ON + 1)) stays"
            return 0
        fi
        (($(date +%s%N) - start < secs * 1000000000)) || fail "$name: the pictures still change after $secs s"
        sleep 0.2
    done
}

# wait_moves NAME SECONDS: another picture than ON comes within SECONDS.
wait_moves() {
    local name=$1 secs=$2 i now
    for ((i = 0; i < secs * 4; i++)); do
        now=$(picture_on "$(screenshot "$name")")
        if ((now >= 0 && now != ON)); then
            log "$name: picture $((ON + 1)) gave way to $((now + 1))"
            return 0
        fi
        sleep 0.25
    done
    fail "$name: picture $((ON + 1)) still on the screen after $secs s"
}

# go_to_dialog SECONDS: the go-to dialog in front of the picture, or empty.
go_to_dialog() { wait_small_window "$TITLE" 400 200 "$1"; }
no_go_to_dialog() {
    local id w h
    for id in $(find_windows "$TITLE"); do
        read -r _ _ w h <<<"$(window_geometry "$id")"
        ((w < 400 && h < 200)) && return 1
    done
    return 0
}

# click_close_box WIN: clicks the close box at the right end of the window's
# title bar (a tool window's, drawn by Wine on both desktops).
click_close_box() {
    local x y w h
    read -r x y w h <<<"$(window_geometry "$1")"
    log "click on the close box of window $1"
    xdotool mousemove $((x + w - 12)) $((y + 10)) click 1 || fail "xdotool could not click"
}

index_file() { find "$WINEPREFIX/drive_c" -name 'PTAV-DIR (*) .TMP' | head -n 1; }
no_index_file() { [[ -z "$(index_file)" ]]; }

# ---------------------------------------------------------------------------
# The first program: source dialog, main window, show and go-to dialog.

reg_set SourceFile 'C:\*.*'
reg_set Wait 1
reg_set Loop 1
reg_set SaveIndex 1
reg_set Continue 0
start_exe first "$EXE"
PID=$E2E_LAST_PID
MAIN=$(wait_window "$TITLE" 60) || fail "no main window"

# The source dialog, opened by "..." (four steps after Start in the tab
# order, and the focus is back on it when the dialog has closed): the
# pattern text (two steps back from OK) replaced by TEXT, then closed.
FILE_ROWS=(
    # text      closed by
    "SOURCE     Return"
    "ELSEWHERE  Escape"
    "ELSEWHERE  close-box"
)
send_key "$MAIN" Tab Tab Tab Tab
for row in "${FILE_ROWS[@]}"; do
    read -r text closer <<<"$row"
    send_key "$MAIN" space
    DIALOG=$(wait_window "$SOURCE_DIALOG" 20) || fail "the source dialog did not open"
    press shift+Tab shift+Tab End shift+Home
    xdotool type --delay 20 "${!text}"
    if [[ $closer == close-box ]]; then
        click_close_box "$DIALOG"
    else
        press "$closer"
    fi
    wait_no_window "$SOURCE_DIALOG" 20 || fail "$closer did not close the source dialog"
    log "source dialog: $text, $closer: closed"
done

# "&Start" and "Such-Index &speichern" share their access key: Alt+S presses
# the first of the two from the focus on, here Start (four steps back from
# "..."). The pictures of the source handed back by the dialog appear.
send_key "$MAIN" shift+Tab shift+Tab shift+Tab shift+Tab alt+s
wait_full_screen "$TITLE" 60 >/dev/null || fail "Alt+S did not start the show"
log "Alt+S started the show"

# Keys in the show, each followed by what the screen shows: "steady" (the
# advance of one picture a second is paused), "moves" (it goes on), the
# index of the picture, or "main" (the show has ended). G opens the go-to
# dialog, and the keys after "|" are typed into it; only in a paused show:
# a key that comes as the display time runs out is handled between two
# pictures, and G then pauses the next one without opening the dialog.
# The pictures: 1, 2 in the first directory, 3, 4 in the second, 5 in the third.
SHOW_ROWS=(
    "space     |                      | steady"
    "space     |                      | moves"
    "p         |                      | steady"
    "g         | 1 Return             | 0"
    "Right     |                      | 1"
    "n         |                      | 2"
    "Return    |                      | 3"
    "Left      |                      | 2"
    "l         |                      | 1"
    "BackSpace |                      | 0"
    "BackSpace |                      | 4"
    "Down      |                      | 0"
    "a         |                      | 2"
    "Up        |                      | 0"
    "q         |                      | 4"
    "g         | 2 Return             | 1"
    "g         | 4 Escape             | 1"
    "g         | 4 alt+a              | 1"
    "g         | 4 alt+o              | 3"
    "g         | Tab Right Return     | 4"
    "g         | Tab Left Left Return | 2"
    "p         |                      | moves"
    "Escape    |                      | main"
)
ON=$(picture_on "$(screenshot show)")
n=0
for row in "${SHOW_ROWS[@]}"; do
    IFS='|' read -r key dialog_keys after <<<"$row"
    read -r key <<<"$key"
    read -r after <<<"$after"
    n=$((n + 1))
    name="show-$n-$key"
    press "$key"
    if [[ -n "${dialog_keys// /}" ]]; then
        DIALOG=$(go_to_dialog 10)
        [[ -n "$DIALOG" ]] || fail "$name: G did not open the go-to dialog"
        # shellcheck disable=SC2086
        press $dialog_keys
        wait_until 10 no_go_to_dialog || fail "$name: $dialog_keys did not close the go-to dialog"
    fi
    case $after in
    steady) wait_steady "$name" 15 ;;
    moves) wait_moves "$name" 10 ;;
    main) wait_visible "$MAIN" 20 || fail "$name: the main window did not come back" ;;
    *)
        expect_picture "$name" "$after"
        ON=$after
        ;;
    esac
done

# Delete in the main window deletes the kept index (a copy is kept for the
# second program).
INDEX=$(index_file)
[[ -n "$INDEX" ]] || fail "no kept index after the show"
cp "$INDEX" "$E2E_WORK/index.copy"
send_key "$MAIN" Delete
wait_until 10 no_index_file || fail "Delete left the index $INDEX"
log "Delete deleted the index"
send_key "$MAIN" Escape
wait_end "$PID" 20
log "Esc ended the program"
expect_reg SourceFile "$SOURCE"

# ---------------------------------------------------------------------------
# The second program: keys that change settings, read back once it has ended.

# Each row: keys typed into the main window, the setting they change, its
# value before and after. Delete in the text box (three steps after Start)
# deletes the index first, then the text box deletes its selected text, so
# that the source typed after End is the whole text. From the text box on,
# Alt+S reaches "Such-Index &speichern" first. Enter on a check box presses
# Start.
MAIN_ROWS=(
    # keys                  setting      before  after
    "Tab Tab Tab Delete     SourceFile   SOURCE  SOURCE"
    "alt+s                  SaveIndex    1       0"
    "alt+u                  SubScan      0       1"
    "alt+n                  DisplayName  1       0"
    "alt+e                  Loop         0       1"
    "alt+w                  Continue     0       1"
)
# value_of NAME: the row's "SOURCE" stands for the source.
value_of() { [[ $1 == SOURCE ]] && printf '%s' "$SOURCE" || printf '%s' "$1"; }
cp "$E2E_WORK/index.copy" "$INDEX"
for row in "${MAIN_ROWS[@]}"; do
    read -r -a cells <<<"$row"
    reg_set "${cells[-3]}" "$(value_of "${cells[-2]}")"
done
reg_set ContinueDir ""
reg_set Wait 0
start_exe second "$EXE"
PID=$E2E_LAST_PID
MAIN=$(wait_window "$TITLE" 60) || fail "no main window"
for row in "${MAIN_ROWS[@]}"; do
    read -r -a cells <<<"$row"
    send_key "$MAIN" "${cells[@]:0:${#cells[@]}-3}"
    if [[ ${cells[-4]} == Delete ]]; then
        wait_until 10 no_index_file || fail "Delete in the text box left the index"
        log "Delete in the text box deleted the index"
        press End
        xdotool type --delay 10 "$SOURCE"
    fi
done
# The check box "&weiter ab der letzten Position" has the focus.
send_key "$MAIN" Return
wait_full_screen "$TITLE" 60 >/dev/null || fail "Enter did not start the show"
wait_pixel enter 960 540 "${PICTURE_COLOURS[0]}" 30
light=$(caption_pixels "$SHOT")
((light <= 30)) || fail "a caption ($light light pixels) with \"Datei-Namen im Bild einblenden\" unchecked"
log "Enter started the show, without a caption"
press Escape
wait_visible "$MAIN" 20 || fail "the main window did not come back"
send_key "$MAIN" alt+x
wait_end "$PID" 20
log "Alt+X ended the program"
for row in "${MAIN_ROWS[@]}"; do
    read -r -a cells <<<"$row"
    expect_reg "${cells[-3]}" "$(value_of "${cells[-1]}")"
done
