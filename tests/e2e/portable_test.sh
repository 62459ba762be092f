#!/usr/bin/env bash
# The portable zip from dist/ as a user meets it: it holds the program, the
# German guide (what the program does, its keys, where its settings are, how
# to remove it) and the licence texts; unpacked into a folder whose path has
# blanks and umlauts, the program runs a show from there, its picture worker
# started from the same folder.
#
# Usage: portable_test.sh PATH/TO/pictavo.exe   (the zip comes from dist/,
# made by tools/package; PICTAVO_E2E_ARCH=x86 takes the 32-bit one)

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/pictures.sh"
source "$(dirname "${BASH_SOURCE[0]}")/install.sh"

EXE=$(abs_path "${1:-}")
TITLE='Pictavo - V1.13a - 06.11.2004'
ZIP=$(dist_package "pictavo-$PROJECT_VERSION-$E2E_ARCH.zip")

e2e_require_exe "$EXE"
e2e_setup

FOLDER="$E2E_WORK/Meine Programme/Bildschau für Übungen"
mkdir -p "$FOLDER"
unzip -q "$ZIP" -d "$FOLDER" || fail "unzip could not unpack $ZIP"
HOME_DIR="$FOLDER/Pictavo"
for f in pictavo.exe LIESMICH.txt Lizenzen/mingw-w64.txt Lizenzen/gcc-runtime.txt Lizenzen/GPL-3.txt; do
    [[ -s "$HOME_DIR/$f" ]] || fail "the zip holds no Pictavo/$f"
done
extra=$(cd "$HOME_DIR" && find . -type f | sort | grep -v -x -e ./pictavo.exe -e ./LIESMICH.txt -e './Lizenzen/.*' || true)
[[ -z "$extra" ]] || fail "the zip holds more than the program, its guide and the licences: $extra"
e2e_require_exe "$HOME_DIR/pictavo.exe"

# The file's properties: product, version, description, copyright.
for field in "ProductName=Pictavo" "ProductVersion=$PROJECT_VERSION" "FileVersion=$PROJECT_VERSION" \
    "FileDescription=Pictavo - Diashow für Bilder" "CompanyName=Corvane" "LegalCopyright=Copyright © 2004-2026 Corvane"; do
    got=$(version_field "$HOME_DIR/pictavo.exe" "${field%%=*}") || got="(none)"
    [[ "$got" == "${field#*=}" ]] || fail "pictavo.exe's ${field%%=*} is \"$got\", expected \"${field#*=}\""
done
log "pictavo.exe: Pictavo $PROJECT_VERSION, \"$(version_field "$HOME_DIR/pictavo.exe" FileDescription)\", \"$(version_field "$HOME_DIR/pictavo.exe" LegalCopyright)\""

# The guide: UTF-8 with a byte order mark and CRLF lines, as Notepad reads it.
GUIDE="$HOME_DIR/LIESMICH.txt"
[[ "$(head -c 3 "$GUIDE" | od -An -tx1 | tr -d ' ')" == efbbbf ]] || fail "LIESMICH.txt has no UTF-8 byte order mark"
(($(grep -c $'\r$' "$GUIDE") == $(wc -l <"$GUIDE"))) || fail "LIESMICH.txt has lines without CRLF"
for text in "Version $PROJECT_VERSION" "Tasten" "Leertaste" "Esc" \
    'HKEY_CURRENT_USER\Software\VB and VBA Program Settings\Corvane\Pictavo' "Entfernen" "Lizenzen"; do
    grep -qF "$text" "$GUIDE" || fail "LIESMICH.txt does not mention \"$text\""
done
log "zip: program, guide and licences; the guide names the keys, the settings and the removal"

# worker_running: two processes run the unpacked program, the one started
# and its picture worker (Wine names a process by its Windows path).
PORTABLE_EXE=$(wine_path "$HOME_DIR/pictavo.exe")
programs_from_folder() { ps -eo args= | EXE="$PORTABLE_EXE" awk 'index($0, ENVIRON["EXE"] " ") == 1' | wc -l; }
worker_running() { (($(programs_from_folder) >= 2)); }

ROOT="$E2E_WORK/Bilder"
make_colour_tree "$ROOT"
reg_set Wait 2
start_exe portable "$PORTABLE_EXE" "$(wine_path "$ROOT")\\*.*" '!'
PID=$E2E_LAST_PID
wait_full_screen "$TITLE" 60 >/dev/null || fail "no picture window from the unpacked program"
wait_until 30 worker_running || fail "no picture worker started from the folder (processes: $(programs_from_folder))"
log "program and picture worker run from $(wine_path "$HOME_DIR")"
show_runs_by_itself portable-show "$PID"
log "$E2E_ARCH zip $(stat -c %s "$ZIP") bytes"
