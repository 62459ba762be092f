#!/usr/bin/env bash
# The dialogs and window effects under Wine: with "Transparence" 55 the main
# window is layered with opacity 200, and G in a show (of a source named in
# Cyrillic, with %, &, ^ and parentheses) opens the go-to dialog
# in front of the picture with the number selected, so that a typed number
# replaces it; "..." opens the source dialog centred over the main window and
# OK hands the typed source back; the go-to dialog works the same without
# transparency; an automatic start (of a source named in Chinese) shows the
# progress window, then the pictures, and Esc ends the program.
#
# Usage: dialogs_test.sh PATH/TO/pictavo.exe

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/pictures.sh"

EXE=$(abs_path "${1:-}")
PROBE="$(dirname "$EXE")/tests/win32/window_probe.exe"
LISTING_GATE="$(dirname "$EXE")/tests/win32/listing_gate.exe"
TITLE='Pictavo - V1.13a - 06.11.2004'

e2e_require_exe "$EXE"
[[ -f "$PROBE" ]] || fail "window probe not found: $PROBE"
[[ -f "$LISTING_GATE" ]] || fail "listing gate not found: $LISTING_GATE"
e2e_setup

ROOT="$E2E_WORK/Bilder"
make_colour_tree "$ROOT"
SOURCE="$(wine_path "$ROOT")\\*.*"
# Scripts that the console's code page lacks.
CYRILLIC="$E2E_WORK/Фото 100% & (Урлауб) ^"
CHINESE="$E2E_WORK/照片 相册"
make_colour_tree "$CYRILLIC"
make_colour_tree "$CHINESE"
reg_set Transparence 55
reg_set Wait 0

# probe_value NAME: one line of the probe's answer about the main window.
probe_value() {
    local out
    out=$(timeout 60 wine "$PROBE" "$TITLE" 2>/dev/null) || true
    printf '%s\n' "$out" | tr -d '\r' | sed -n "s/^$1=//p"
}

# go_to_by_typing NAME: G opens the go-to dialog in front of the first
# picture; typing 3 and Enter shows the third picture.
go_to_by_typing() {
    local dialog
    press g
    dialog=$(wait_small_window "$TITLE" 400 200 10)
    [[ -n "$dialog" ]] || fail "$1: G did not open the go-to dialog"
    wait_in_front "$1-go-to-dialog" "$dialog" "${PICTURE_COLOURS[0]}" 10
    xdotool type --delay 20 "3"
    press Return
    expect_picture "$1-go-to-three" 2
}

# The source comes from the command line here, so that the stored one stays
# for the source dialog below to change.
start_exe first "$EXE" "$(wine_path "$CYRILLIC")\\*.*"
PID=$E2E_LAST_PID
MAIN=$(wait_window "$TITLE" 60) || fail "no main window"
[[ "$(probe_value layered)" == 1 ]] || fail "the main window is not layered"
[[ "$(probe_value alpha)" == 200 ]] || fail "the main window's opacity is $(probe_value alpha), expected 200"
[[ "$(probe_value shadow)" == 1 ]] || fail "the main window's class has no drop shadow"
log "main window layered with opacity 200 and a drop shadow"
send_key "$MAIN" Return
wait_full_screen "$TITLE" 60 >/dev/null || fail "no picture window"
expect_picture transparent-first 0
go_to_by_typing transparent
press Escape
wait_visible "$MAIN" 20 || fail "the main window did not come back"
send_key "$MAIN" Escape
wait_end "$PID" 20
reg_set Transparence 0

start_exe second "$EXE"
PID=$E2E_LAST_PID
MAIN=$(wait_window "$TITLE" 60) || fail "no main window"
[[ "$(probe_value layered)" == 0 ]] || fail "the main window is layered with \"Transparence\" 0"

# "..." is fourth in the tab order after Start; Space presses it.
send_key "$MAIN" Tab Tab Tab Tab space
DIALOG=$(wait_window "Quell-Datei(en):" 20) || fail "the source dialog did not open"
read -r mx my mw mh <<<"$(window_geometry "$MAIN")"
read -r dx dy dw dh <<<"$(window_geometry "$DIALOG")"
dcx=$((dx + dw / 2 - mx - mw / 2))
dcy=$((dy + dh / 2 - my - mh / 2))
((dcx >= -3 && dcx <= 3 && dcy >= -3 && dcy <= 3)) ||
    fail "the dialog's centre is off the main window's by $dcx,$dcy pixels"
log "source dialog centred over the main window"
screenshot source-dialog >/dev/null

# The pattern text is two steps back from OK in the tab order.
CHOSEN="$(wine_path "$ROOT")\\*.GIF"
press shift+Tab shift+Tab End shift+Home
xdotool type --delay 20 "$CHOSEN"
press Return
wait_no_window "Quell-Datei(en):" 20 || fail "OK did not close the source dialog"

# Back to the whole tree for the go-to dialog; the focus is on "..." again.
send_key "$MAIN" space
wait_window "Quell-Datei(en):" 20 >/dev/null || fail "the source dialog did not open a second time"
press shift+Tab shift+Tab End shift+Home
xdotool type --delay 20 "$SOURCE"
press Return
wait_no_window "Quell-Datei(en):" 20 || fail "OK did not close the source dialog"
# Enter would press "...", which has the focus again; Start is four steps
# back in the tab order.
send_key "$MAIN" shift+Tab shift+Tab shift+Tab shift+Tab Return
wait_full_screen "$TITLE" 60 >/dev/null || fail "no picture window"
expect_picture first 0
go_to_by_typing opaque
press Escape
wait_visible "$MAIN" 20 || fail "the main window did not come back"
send_key "$MAIN" Escape
wait_end "$PID" 20
expect_reg SourceFile "$SOURCE"
log "the source dialog handed its text back"

# An automatic start: progress window first, then the pictures; Esc ends it
# all. Without a kept index the scan runs the command interpreter, which here
# waits for the test to have seen the progress window before it runs the real
# one: however fast the listing, the progress window stays until then.
reg_set SaveIndex 0
GATE="$E2E_WORK/listing-may-start"
wine_reg add 'HKCU\Environment' /v COMSPEC /d "$(wine_path "$LISTING_GATE")" /f >/dev/null &&
    wine_reg add 'HKCU\Environment' /v PICTAVO_LISTING_GATE /d "$(wine_path "$GATE")" /f >/dev/null ||
    fail "could not put the listing gate in place of the command interpreter"
start_exe automatic "$EXE" "$(wine_path "$CHINESE")\\*.*" "!"
PID=$E2E_LAST_PID
PROGRESS=$(wait_small_window "$TITLE" 400 150 30)
[[ -n "$PROGRESS" ]] || fail "the progress window did not appear"
read -r px py pw ph <<<"$(window_geometry "$PROGRESS")"
pcx=$((px + pw / 2 - 960))
pcy=$((py + ph / 2 - 540))
((pcx >= -3 && pcx <= 3 && pcy >= -20 && pcy <= 20)) || fail "the progress window is off centre by $pcx,$pcy"
log "progress window centred on the screen"
screenshot progress-window >/dev/null
: >"$GATE"
wait_full_screen "$TITLE" 60 >/dev/null || fail "no pictures after the progress window"
expect_picture automatic 0
[[ -z "$(find_windows "$TITLE" | while read -r id; do
    read -r _ _ w h <<<"$(window_geometry "$id")"
    ((w < 400)) && echo "$id"
done)" ]] || fail "the progress window is still there during the show"
press Escape
wait_end "$PID" 20
[[ "$(reg_get SourceFile)" == "$SOURCE" ]] || fail "an automatic start changed the stored source"
log "automatic start ended the program"
