#!/usr/bin/env bash
# Makes the corpus of damaged and hostile pictures and decodes every file
# under Wine through the program's own picture loading (picture_corpus.exe,
# beside the given pictavo.exe): the test program must live through all of
# them, each decode ending within its limit, with the viewer's memory bounded.
#
# Usage: picture_corpus_test.sh PATH/TO/pictavo.exe

source "$(dirname "${BASH_SOURCE[0]}")/../tests/e2e/lib.sh"

EXE=$(abs_path "${1:-}")
CORPUS_EXE="$(dirname "$EXE")/fuzz/picture_corpus.exe"
[[ -f "$CORPUS_EXE" ]] || skip "picture_corpus.exe not built: $CORPUS_EXE"
e2e_require_exe "$CORPUS_EXE"
e2e_setup

python3 "$REPO_ROOT/fuzz/make-picture-corpus" "$E2E_WORK/corpus" || fail "the corpus could not be made"
rc=0
(cd "$E2E_WORK" && timeout 240 wine "$CORPUS_EXE" 'Z:'"${E2E_WORK//\//\\}"'\corpus') || rc=$?
((rc != 124)) || fail "decoding the corpus did not end within 240 s"
((rc == 0)) || fail "picture_corpus.exe exited with status $rc"
