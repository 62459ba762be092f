#!/usr/bin/env bash
# First start on a fresh Wine prefix: the main window appears with its title
# and content, a second instance ends by itself, Esc ends the program, and
# the program leaves all twelve settings with their first-run values.
#
# Usage: startup_test.sh PATH/TO/pictavo.exe

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

EXE=$(abs_path "${1:-}")
TITLE='Pictavo - V1.13a - 06.11.2004'

e2e_require_exe "$EXE"
e2e_setup

# A fresh prefix holds no settings of the program.
if reg_key_exists; then
    fail "the fresh Wine prefix already has $PICTAVO_REG_KEY"
fi

start_exe first "$EXE"
FIRST=$E2E_LAST_PID

WIN=$(wait_window "$TITLE" 60) || {
    is_running "$FIRST" || fail "pictavo.exe ended without showing its window"
    fail "no visible window titled \"$TITLE\" within 60 s"
}
log "main window $WIN: \"$(window_name "$WIN")\""
[[ "$(window_name "$WIN")" == "$TITLE" ]] || fail "window title is \"$(window_name "$WIN")\""

# The window is drawn: the screenshot's window area is not one flat colour.
# Repainting may lag behind mapping, so look again a few times before failing.
colours=0
for _ in 1 2 3 4 5 6 7 8 9 10; do
    SHOT=$(screenshot main-screen)
    AREA=$(crop_window "$SHOT" "$WIN" main-window)
    colours=$(colour_count "$AREA")
    ((colours > 16)) && break
    sleep 1
done
read -r wx wy ww wh <<<"$(window_geometry "$WIN")"
log "main window at ${wx},${wy} size ${ww}x${wh}, ${colours} colours; screenshot $AREA"
((colours > 16)) || fail "main window looks blank: only $colours colours in $AREA"

# First run: the window's top-left corner at 480, 480 twips, which is 32, 32
# pixels at Wine's 96 dpi (the prefix lets Wine draw the frame itself, so the
# X window is the whole window).
((wx == 32 && wy == 32)) || fail "main window at ${wx},${wy}, expected 32,32 (480 twips)"
# The client area is 6555 x 3735 twips: 437 x 249 pixels at 96 dpi, plus at
# most a border and a caption.
((ww >= 437 && ww <= 460)) || fail "main window is $ww pixels wide, expected 437 plus a border"
((wh >= 249 && wh <= 290)) || fail "main window is $wh pixels high, expected 249 plus border and caption"

# A second instance ends by itself and leaves the first one alone.
start_exe second "$EXE"
SECOND=$E2E_LAST_PID
wait_end "$SECOND" 20
is_running "$FIRST" || fail "the first instance ended when the second one started"
count=$(find_windows "$TITLE" | wc -l)
((count == 1)) || fail "$count windows titled \"$TITLE\" after the second start, expected 1"
xdotool getwindowname "$WIN" >/dev/null 2>&1 || fail "the first main window is gone"

# Esc presses Exit: the program ends and saves its settings.
send_key "$WIN" Escape
wait_end "$FIRST" 20
[[ -z "$(find_windows "$TITLE")" ]] || fail "the main window is still visible after the program ended"

reg_key_exists || fail "no settings written under $PICTAVO_REG_KEY"
# Every setting with its first-run value, and no other.
FIRST_RUN=(WinTop=480 WinLeft=480 'SourceFile=C:\*.*' SubScan=1 DisplayName=1 Loop=0 SaveIndex=1 Transparence=0
    Shadow=1 ContinueDir= Continue=0 Wait=3)
for setting in "${FIRST_RUN[@]}"; do expect_reg "${setting%%=*}" "${setting#*=}"; done
names=$(reg_names | LC_ALL=C sort | tr '\n' ' ')
want=$(printf '%s\n' "${FIRST_RUN[@]%%=*}" | LC_ALL=C sort | tr '\n' ' ')
[[ "$names" == "$want" ]] || fail "settings key holds [$names], expected exactly [$want]"
