#!/usr/bin/env bash
# Runs an end-to-end test script with the 32-bit program (build/win32), on a
# Wine prefix that can run 32-bit programs (Debian's wine32:i386 beside
# wine64). The screenshots are named <script>-x86-*.
#
# Usage: x86.sh SCRIPT PATH/TO/win32/pictavo.exe

set -euo pipefail
script=$1
shift
name=$(basename "$script" .sh)-x86
[[ ${PICTAVO_E2E_DESKTOP:-bare} == wm ]] && name+=-wm

if [[ ! -x /usr/lib/wine/wine ]]; then
    echo "[$name] 32-bit Wine missing (wine32:i386; run tools/install-deps)"
    [[ -z "${CI:-}" ]] || exit 1
    echo "[$name] skipped"
    exit 77
fi

# The shared prepared prefix serves when it was made with the 32-bit Wine
# there; one made before has no 32-bit system, and a prefix of its own is
# prepared for these runs.
template=${PICTAVO_E2E_TEMPLATE:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/build/wineprefix-e2e}
if [[ -f "$template/.pictavo-e2e-ready" && ! -f "$template/drive_c/windows/syswow64/kernel32.dll" ]]; then
    template+=-x86
fi

export PICTAVO_E2E_ARCH=x86 PICTAVO_E2E_TEMPLATE=$template E2E_NAME=$name
exec bash "$script" "$@"
