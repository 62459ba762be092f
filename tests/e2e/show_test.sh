#!/usr/bin/env bash
# A slide show over a tree whose names hold umlauts, blanks, %, &, ^ and
# parentheses: the scan lists every picture through the command interpreter,
# each picture is fitted and centred on black with its caption, the keys
# step through pictures and directories, Esc ends the show, the position
# reached is stored, and the kept index is found again after a restart.
#
# Usage: show_test.sh PATH/TO/pictavo.exe

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/pictures.sh"

EXE=$(abs_path "${1:-}")
TITLE='Pictavo - V1.13a - 06.11.2004'

e2e_require_exe "$EXE"
e2e_setup

ROOT="$E2E_WORK/Bilder"
make_colour_tree "$ROOT"
SOURCE="$(wine_path "$ROOT")\\*.*"
log "source $SOURCE"

# Continue from picture 1 with the show advancing only by keys.
reg_set SourceFile "$SOURCE"
reg_set ContinueDir "$SOURCE"
reg_set Continue 1
reg_set Wait 0

# start_show LABEL: starts the program, presses Start and waits for the
# picture window; leaves the process in PID and the main window in MAIN.
start_show() {
    start_exe "$1" "$EXE"
    PID=$E2E_LAST_PID
    MAIN=$(wait_window "$TITLE" 60) || fail "$1: no main window"
    send_key "$MAIN" Return
    wait_full_screen "$TITLE" 60 >/dev/null || fail "$1: the picture window did not cover the screen"
}

start_show first
expect_picture first 0
press Right
expect_picture right 1
press Left
expect_picture left 0
press Down
expect_picture next-directory 2
press Up
expect_picture previous-directory 0
press Up
expect_picture previous-directory-wraps 4
press Left
expect_picture left-again 3
press Escape
wait_visible "$MAIN" 20 || fail "the main window did not come back after Esc"
log "Esc ended the show"

# The index lists every picture, in listing order, with the names intact.
INDEX=$(find "$WINEPREFIX/drive_c" -name 'PTAV-DIR (*) .TMP' | head -n 1)
[[ -n "$INDEX" ]] || fail "no search index in the temporary directory"
LISTED=$(iconv -f UTF-16LE -t UTF-8 "$INDEX" | tr -d '\r' | grep -Ei '\.(bmp|gif|jpe?g|png)$')
EXPECTED=""
for f in "${PICTURE_FILES[@]}"; do EXPECTED+="$(wine_path "$ROOT/$f")"$'\n'; done
[[ "$LISTED"$'\n' == "$EXPECTED" ]] || fail "the index lists"$'\n'"$LISTED"$'\n'"expected"$'\n'"$EXPECTED"
[[ ! -e "$WINEPREFIX/drive_c/PTAV-DIR.BAT" ]] || fail "the batch file is still there"
INDEX_TIME=$(stat -c %Y "$INDEX")

send_key "$MAIN" Escape
wait_end "$PID" 20
expect_reg Continue 4
expect_reg ContinueDir "$SOURCE"

# After a restart the kept index is read again, and the show goes on at 4.
start_show second
expect_picture resumed 3
[[ "$(stat -c %Y "$INDEX")" == "$INDEX_TIME" ]] || fail "the kept index was written again"
press Escape
wait_visible "$MAIN" 20 || fail "the main window did not come back"
send_key "$MAIN" Escape
wait_end "$PID" 20
