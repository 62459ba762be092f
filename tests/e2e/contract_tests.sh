#!/usr/bin/env bash
# Runs the win32 backend's contract tests (a Windows test program) under Wine
# on a private Xvfb with a private Wine prefix.
#
# Usage: contract_tests.sh PATH/TO/win32_contract_tests.exe [GTEST ARGS...]
# Skips (status 77) when the test program has not been built.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

EXE=$(abs_path "${1:-}")
shift || true

[[ -n "$EXE" && -f "$EXE" ]] || skip "win32 contract tests not built: ${EXE:-<no path>}"
e2e_require_exe "$EXE"
e2e_setup

log "running $(basename "$EXE") under Wine"
rc=0
(cd "$(dirname "$EXE")" && timeout 270 wine "$EXE" --gtest_color=no "$@") || rc=$?
if ((rc == 124)); then
    fail "$(basename "$EXE") did not finish within 270 s"
fi
((rc == 0)) || fail "$(basename "$EXE") exited with status $rc"
