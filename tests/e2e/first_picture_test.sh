#!/usr/bin/env bash
# The first picture of a show keeps its display time however long it takes
# to decode: a 16000 x 12000 PNG first, with a display time of one second,
# stays on the screen for most of that second before the next one comes.
# Only the first: the timer runs on from picture to picture, so a later one
# may stay for less.
#
# Usage: first_picture_test.sh PATH/TO/pictavo.exe

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/pictures.sh"

EXE=$(abs_path "${1:-}")
TITLE='Pictavo - V1.13a - 06.11.2004'
ORANGE="255,128,0"

e2e_require_exe "$EXE"
e2e_setup

ROOT="$E2E_WORK/Bilder"
make_colour_tree "$ROOT"
# One colour throughout: a few hundred kilobytes on disk that take the
# decoder seconds. Listed before the subdirectories' pictures.
python3 - "$ROOT/0 groß.png" 16000 12000 "$ORANGE" <<'PY' || fail "could not make the large picture"
import struct, sys, zlib
path, w, h = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
row = b"\0" + bytes(int(c) for c in sys.argv[4].split(",")) * w
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
packer = zlib.compressobj(1)
data = b"".join(packer.compress(row * 100) for _ in range(h // 100)) + packer.flush()
with open(path, "wb") as f:
    f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0)))
    f.write(chunk(b"IDAT", data) + chunk(b"IEND", b""))
PY
reg_set SourceFile "$(wine_path "$ROOT")\\*.*"
reg_set Wait 1
reg_set Loop 0

start_exe show "$EXE"
PID=$E2E_LAST_PID
MAIN=$(wait_window "$TITLE" 60) || fail "no main window"
python3 "$E2E_DIR/pixel_watch.py" 960 540 "$ORANGE" 60 >"$E2E_WORK/watch.out" &
WATCH=$!
send_key "$MAIN" Return
wait "$WATCH" || fail "the large first picture: $(cat "$E2E_WORK/watch.out")"
read -r _ SEEN _ AT_MOST _ <"$E2E_WORK/watch.out"
log "the first picture was on the screen for $SEEN ms (at most $AT_MOST ms)"
((SEEN >= 700)) || fail "the first picture was on the screen for only $SEEN to $AT_MOST ms of its 1 s"
# The other five follow, and the show ends at the end of the list.
wait_visible "$MAIN" 30 || fail "the show did not come to its end"
send_key "$MAIN" Escape
wait_end "$PID" 20
