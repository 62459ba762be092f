#!/usr/bin/env bash
# The 32-bit program's picture worker against the largest pictures: it
# decodes the benchmark's 24-megapixel photos (bench/make-bench-pictures)
# within its limits, as the 64-bit one does, and refuses the files whose
# pixels pass the limit as the 64-bit one does, without a crash. Both run
# picture_corpus.exe (beside each pictavo.exe), the viewer's own picture
# loading with its worker process; the worker's memory peaks are printed.
#
# Usage: large_pictures_test.sh PATH/TO/win64/pictavo.exe
# (the 32-bit program: $PICTAVO_WIN32_EXE, else build/win32/pictavo.exe)

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

EXE=$(abs_path "${1:-}")
EXE32=$(abs_path "${PICTAVO_WIN32_EXE:-$REPO_ROOT/build/win32/pictavo.exe}")
CORPUS64="$(dirname "$EXE")/fuzz/picture_corpus.exe"
CORPUS32="$(dirname "$EXE32")/fuzz/picture_corpus.exe"
if [[ ! -x /usr/lib/wine/wine ]]; then
    [[ -z "${CI:-}" ]] || fail "32-bit Wine missing (wine32:i386; run tools/install-deps)"
    skip "32-bit Wine missing (wine32:i386; run tools/install-deps)"
fi
for f in "$CORPUS64" "$CORPUS32"; do
    [[ -f "$f" ]] || fail "$f is missing (build the presets win64 and win32)"
    e2e_require_exe "$f"
done
e2e_setup

# The benchmark's photos are made once and kept under build/ (they take a
# minute or two); only the JPEGs are used.
PHOTOS_MADE="$REPO_ROOT/build/bench-pictures"
sh "$REPO_ROOT/bench/make-bench-pictures" "$PHOTOS_MADE" >"$E2E_WORK/make-bench-pictures.log" 2>&1 ||
    fail "bench/make-bench-pictures failed: $(tail -n 5 "$E2E_WORK/make-bench-pictures.log")"
mkdir -p "$E2E_WORK/photos" "$E2E_WORK/limits"
cp "$PHOTOS_MADE"/photo-*.jpg "$E2E_WORK/photos/"
PHOTOS=$(find "$E2E_WORK/photos" -name '*.jpg' | wc -l)
((PHOTOS >= 10)) || fail "only $PHOTOS photos made"
size=$(identify -format '%wx%h' "$(find "$E2E_WORK/photos" -name '*.jpg' | head -n 1)")
[[ $size == 6000x4000 ]] || fail "the benchmark's photos are $size, expected 6000x4000"

# Files that claim more pixels than either program takes (2 and 4 gigapixels).
python3 "$REPO_ROOT/fuzz/make-picture-corpus" "$E2E_WORK/corpus" >/dev/null || fail "the corpus could not be made"
LIMIT_FILES=(claims-46341x46341.png junk-frame-46341x46341.jpg junk-frame-65500x32768.jpg
    junk-frame-progressive-46341x46341.jpg tiff-65535-named.jpg dds-65535-named.png later-frame-huge.gif)
for f in "${LIMIT_FILES[@]}"; do
    cp "$E2E_WORK/corpus/$f" "$E2E_WORK/limits/" || fail "the corpus has no $f"
done

# decode LABEL CORPUS_EXE DIR: runs the program's picture loading over DIR;
# leaves its report in REPORT.
decode() {
    local label=$1 program=$2 dir=$3 rc=0
    wait_wine_idle 60
    (cd "$E2E_WORK" && timeout 280 wine "$program" "$(wine_path "$dir")") >"$E2E_WORK/$label.log" 2>&1 || rc=$?
    REPORT=$(tr -d '\r' <"$E2E_WORK/$label.log")
    ((rc != 124)) || fail "$label: picture_corpus.exe did not end within 280 s"
    ((rc == 0)) || fail "$label: picture_corpus.exe ended with status $rc: $REPORT"
    log "$label: $(tr '\n' ' ' <<<"$REPORT")"
}

# outcome REPORT: the counts of the report, without times and memory.
outcome() {
    sed -n -e 's/^\([0-9]*\) files in [0-9.]* s: \(.*\)$/\1 files: \2/p' \
        -e 's/^decoding worker: \([0-9]*\) started.*), \(.*\), its peak memory.*/worker: \2/p' <<<"$1"
}
worker_peak() { sed -n 's/.*its peak memory \([0-9]*\) MB.*/\1/p' <<<"$1"; }
viewer_peak() { sed -n "s/^viewer's peak memory \([0-9]*\) MB.*/\1/p" <<<"$1"; }

for arch in 64 32; do
    program=CORPUS$arch
    decode "photos-$arch" "${!program}" "$E2E_WORK/photos"
    want="$PHOTOS files: $PHOTOS loaded, 0 refused"$'\n'"worker: 0 crashed, 0 stopped at the time limit, 0 stopped at the memory limit"
    [[ "$(outcome "$REPORT")" == "$want" ]] ||
        fail "$arch-bit: the photos gave \"$(outcome "$REPORT")\", expected \"$want\""
    printf -v "PHOTO_PEAK_$arch" '%s MB (viewer %s MB)' "$(worker_peak "$REPORT")" "$(viewer_peak "$REPORT")"
    decode "limits-$arch" "${!program}" "$E2E_WORK/limits"
    printf -v "LIMITS_$arch" '%s' "$(outcome "$REPORT")"
    printf -v "LIMIT_PEAK_$arch" '%s MB' "$(worker_peak "$REPORT")"
done
[[ "$LIMITS_32" == "$LIMITS_64" ]] || fail "the 32-bit program took the limit files as \"$LIMITS_32\", the 64-bit one as \"$LIMITS_64\""
[[ "$LIMITS_32" == "${#LIMIT_FILES[@]} files: 0 loaded, ${#LIMIT_FILES[@]} refused"* ]] ||
    fail "the limit files were not all refused: $LIMITS_32"
log "photos of 24 megapixels: worker's peak memory 64-bit $PHOTO_PEAK_64, 32-bit $PHOTO_PEAK_32"
log "files past the pixel limit, all refused: worker's peak memory 64-bit $LIMIT_PEAK_64, 32-bit $LIMIT_PEAK_32"
