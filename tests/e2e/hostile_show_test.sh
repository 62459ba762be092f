#!/usr/bin/env bash
# A show started from the command line over a tree where files that crash,
# hang or swamp a picture decoder lie among valid pictures: every picture is
# shown or takes the error path, and the show runs to its end, where an
# automatic start ends the program, with status 0.
#
# Usage: hostile_show_test.sh PATH/TO/pictavo.exe

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/pictures.sh"

EXE=$(abs_path "${1:-}")
e2e_require_exe "$EXE"
e2e_setup

ROOT="$E2E_WORK/Bilder"
make_colour_tree "$ROOT"
python3 "$REPO_ROOT/fuzz/make-picture-corpus" "$E2E_WORK/corpus" >/dev/null || fail "the corpus could not be made"
HOSTILE=(junk-frame-46341x46341.jpg junk-frame-progressive-65500x32768.jpg comments-70000.jpg
    later-frame-huge.gif dds-named.png tiff-65535-named.jpg aspect-400000000x1.png)
for name in "${HOSTILE[@]}"; do
    cp "$E2E_WORK/corpus/$name" "$ROOT/${PICTURE_DIRS[1]}/$name" || fail "no $name in the corpus"
done
SOURCE="$(wine_path "$ROOT")\\*.*"
TOTAL=$((${#PICTURE_FILES[@]} + ${#HOSTILE[@]}))

# One second per picture.
reg_set Wait 1
reg_set Loop 0
start_exe hostile "$EXE" "$SOURCE" "!"
wait_end "$E2E_LAST_PID" $((30 + 8 * TOTAL))
log "the show went through all $TOTAL pictures"
