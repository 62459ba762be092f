# shellcheck shell=bash disable=SC2034
# (SC2034: the E2E_* globals are read by the test scripts.)
# Shared functions of the end-to-end tests. Sourced by tests/e2e/*.sh.
#
# Each test run gets its own Xvfb (a free display number chosen by Xvfb
# itself) and its own Wine prefix, copied from a prefix that is prepared once
# under build/wineprefix-e2e. Everything a run started is ended when the
# script exits, however it exits. Screenshots go to build/native/e2e-artifacts/
# (or $PICTAVO_E2E_ARTIFACTS).
#
# A run takes place on one of two desktops, chosen by PICTAVO_E2E_DESKTOP:
# - "bare" (the default): Xvfb alone. The prefix lets Wine draw, place and
#   focus its windows itself (X11 Driver "Managed" = N), since nobody else
#   would: X windows are then whole windows with their frames, and Wine gives
#   the X focus to the active window.
# - "wm": Xvfb with openbox as the window manager, and Wine's default managed
#   windows: the window manager frames, places and focuses them, as on a
#   user's desktop.
# Keys are typed on the keyboard (XTEST), so they reach whichever window holds
# the X focus, as a user's would.
#
# A test script:
#     source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
#     EXE=$(abs_path "${1:-}"); e2e_require_exe "$EXE"; e2e_setup
#     start_exe main "$EXE" 'Z:\some\dir\*.*'; PID=$E2E_LAST_PID
#     WIN=$(wait_window "Pictavo - V1.13a - 06.11.2004" 60) || fail "no window"
#     press Return; ...; wait_end "$PID" 20
#     expect_reg Wait 3
#
# Exit codes of a test script: 0 passed, 1 failed, 77 skipped.

set -euo pipefail

E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
REPO_ROOT=$(cd "$E2E_DIR/../.." && pwd)
E2E_ARTIFACTS=${PICTAVO_E2E_ARTIFACTS:-$REPO_ROOT/build/native/e2e-artifacts}
E2E_TEMPLATE=${PICTAVO_E2E_TEMPLATE:-$REPO_ROOT/build/wineprefix-e2e}
E2E_DESKTOP=${PICTAVO_E2E_DESKTOP:-bare}
case $E2E_DESKTOP in
bare) E2E_NAME=${E2E_NAME:-$(basename "$0" .sh)} ;;
wm) E2E_NAME=${E2E_NAME:-$(basename "$0" .sh)-wm} ;;
*)
    echo "PICTAVO_E2E_DESKTOP is \"$E2E_DESKTOP\"; expected bare or wm" >&2
    exit 1
    ;;
esac

# The settings key of the program, as `reg` spells it.
PICTAVO_REG_KEY='HKCU\Software\VB and VBA Program Settings\Corvane\Pictavo'

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset WINEARCH WINEPATH WINELOADER

E2E_WORK=""
E2E_XVFB_PID=""
E2E_PIDS=()
E2E_PROGRAM_PIDS=()
E2E_LAST_PID=""
E2E_EXIT_STATUS=""
E2E_STARTED=0

log() { printf '[%s] %s\n' "$E2E_NAME" "$*"; }
fail() {
    log "FAIL: $*"
    exit 1
}
skip() {
    log "skipped: $*"
    exit 77
}

# wait_until SECONDS COMMAND...: runs COMMAND every 0.1 s until it succeeds;
# status 1 when it has not succeeded within SECONDS.
wait_until() {
    local secs=$1 i
    shift
    for ((i = 0; i < secs * 10; i++)); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

# ---------------------------------------------------------------------------
# Set-up and clean-up

e2e_cleanup() {
    local status=$?
    set +e
    if [[ $status -ne 0 && $status -ne 77 && -n "${DISPLAY:-}" && -n "$E2E_XVFB_PID" ]]; then
        mkdir -p "$E2E_ARTIFACTS"
        import -window root "$E2E_ARTIFACTS/$E2E_NAME-at-failure.png" >/dev/null 2>&1 &&
            log "screen at failure: $E2E_ARTIFACTS/$E2E_NAME-at-failure.png"
        local f
        for f in "$E2E_WORK"/*.log; do
            [[ -s "$f" ]] || continue
            # Xvfb's log only matters when Xvfb itself is gone.
            if [[ "$f" == */xvfb.log ]] && kill -0 "$E2E_XVFB_PID" 2>/dev/null; then
                continue
            fi
            log "---- $(basename "$f") (last 40 lines) ----"
            tail -n 40 "$f"
        done
    fi
    if [[ -n "${WINEPREFIX:-}" && -d "$WINEPREFIX" && "$WINEPREFIX" == "$E2E_WORK"/* ]]; then
        timeout 20 wineserver -k >/dev/null 2>&1
        timeout 20 wineserver -w >/dev/null 2>&1
    fi
    local pid
    for pid in "${E2E_PIDS[@]}"; do
        kill -KILL "$pid" 2>/dev/null
    done
    if [[ -n "$E2E_XVFB_PID" ]]; then
        kill "$E2E_XVFB_PID" 2>/dev/null
        wait "$E2E_XVFB_PID" 2>/dev/null
    fi
    if [[ -n "$E2E_WORK" && -d "$E2E_WORK" && -z "${PICTAVO_E2E_KEEP:-}" ]]; then
        rm -rf "$E2E_WORK"
    elif [[ -n "$E2E_WORK" ]]; then
        log "kept work directory $E2E_WORK"
    fi
    if [[ $status -eq 0 && $E2E_STARTED -eq 1 ]]; then
        log "PASSED"
    fi
    exit "$status"
}

e2e_require_tools() {
    local t missing=()
    for t in wine wineserver wineboot Xvfb xdotool xprop import convert timeout flock; do
        command -v "$t" >/dev/null 2>&1 || missing+=("$t")
    done
    if [[ $E2E_DESKTOP == wm ]] && ! command -v openbox >/dev/null 2>&1; then
        missing+=(openbox)
    fi
    if ((${#missing[@]})); then
        if [[ -n "${CI:-}" ]]; then
            fail "missing tools: ${missing[*]} (run tools/install-deps)"
        fi
        skip "wine/Xvfb missing: ${missing[*]} (run tools/install-deps)"
    fi
}

# abs_path PATH: PATH made absolute (the scripts change directories).
abs_path() {
    [[ -n "$1" ]] || return 0
    realpath -m -- "$1"
}

# e2e_require_exe EXE: the Windows program exists and needs no MinGW runtime
# DLLs that a plain Windows does not have.
e2e_require_exe() {
    local exe=$1
    [[ -n "$exe" ]] || fail "no executable given"
    [[ -f "$exe" ]] || fail "executable not found: $exe (build it: cmake --preset win64 && cmake --build --preset win64)"
    local objdump
    for objdump in x86_64-w64-mingw32-objdump i686-w64-mingw32-objdump objdump; do
        command -v "$objdump" >/dev/null 2>&1 && break
        objdump=""
    done
    if [[ -n "$objdump" ]]; then
        local dlls bad
        dlls=$("$objdump" -p "$exe" 2>/dev/null | awk '/DLL Name:/ {print $3}' || true)
        bad=$(grep -Ei '^lib(stdc\+\+|gcc|winpthread)' <<<"$dlls" || true)
        if [[ -n "$bad" ]]; then
            fail "$(basename "$exe") needs MinGW runtime DLLs that Windows does not ship: $(echo "$bad" | tr '\n' ' ')(link them statically)"
        fi
    fi
}

# Starts Xvfb on a display number it picks itself; exports DISPLAY.
e2e_start_xvfb() {
    local fdfile="$E2E_WORK/xvfb.display"
    : >"$fdfile"
    Xvfb -displayfd 9 -screen 0 1920x1080x24 -nolisten tcp -noreset \
        9>"$fdfile" >"$E2E_WORK/xvfb.log" 2>&1 &
    E2E_XVFB_PID=$!
    local i
    for ((i = 0; i < 300; i++)); do
        if [[ -s "$fdfile" ]] && grep -q '^[0-9]' "$fdfile"; then
            break
        fi
        kill -0 "$E2E_XVFB_PID" 2>/dev/null || fail "Xvfb did not start: $(cat "$E2E_WORK/xvfb.log")"
        sleep 0.1
    done
    [[ -s "$fdfile" ]] || fail "Xvfb gave no display number within 30 s"
    DISPLAY=":$(head -n 1 "$fdfile" | tr -d '[:space:]')"
    export DISPLAY
    timeout 20 xdotool getdisplaygeometry >/dev/null 2>&1 || fail "cannot talk to Xvfb on $DISPLAY"
    log "Xvfb on $DISPLAY"
}

# A window manager has taken over the screen (it names its check window).
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id #'; }

# Starts openbox on the display and waits until it manages the screen.
e2e_start_window_manager() {
    mkdir -p "$E2E_WORK/xdg"
    XDG_CONFIG_HOME="$E2E_WORK/xdg" openbox --sm-disable >"$E2E_WORK/openbox.log" 2>&1 &
    E2E_PIDS+=("$!")
    wait_until 30 wm_running || fail "openbox did not take over the screen within 30 s"
    log "window manager openbox running"
}

# Prepares the shared Wine prefix once (locked against parallel runs).
e2e_prepare_template() {
    mkdir -p "$(dirname "$E2E_TEMPLATE")"
    local stamp want
    want="$(wine --version 2>/dev/null || echo unknown); default settings"
    (
        flock -w 280 9 || fail "timed out waiting for the lock on $E2E_TEMPLATE"
        stamp="$E2E_TEMPLATE/.pictavo-e2e-ready"
        if [[ -f "$stamp" && "$(cat "$stamp")" == "$want" ]]; then
            exit 0
        fi
        log "preparing Wine prefix $E2E_TEMPLATE (once)"
        rm -rf "$E2E_TEMPLATE"
        if ! WINEPREFIX="$E2E_TEMPLATE" timeout 240 wineboot -i >"$E2E_WORK/wineboot.log" 2>&1; then
            fail "wineboot -i failed for $E2E_TEMPLATE"
        fi
        WINEPREFIX="$E2E_TEMPLATE" timeout 60 wineserver -w ||
            fail "the Wine server of $E2E_TEMPLATE did not end within 60 s after wineboot"
        [[ -f "$E2E_TEMPLATE/system.reg" ]] || fail "wineboot left no registry in $E2E_TEMPLATE"
        printf '%s\n' "$want" >"$stamp"
    ) 9>"$E2E_TEMPLATE.lock"
}

# A private copy of the prepared prefix for this run; exports WINEPREFIX.
e2e_new_prefix() {
    e2e_prepare_template
    export WINEPREFIX="$E2E_WORK/prefix"
    mkdir -p "$WINEPREFIX"
    cp -a "$E2E_TEMPLATE/." "$WINEPREFIX/"
    rm -f "$WINEPREFIX/.pictavo-e2e-ready"
    if [[ $E2E_DESKTOP == bare ]]; then
        # No window manager: let Wine place, raise and focus its windows
        # itself instead of waiting for a manager that never answers.
        timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
            >>"$E2E_WORK/prefix.log" 2>&1 || fail "could not configure the Wine prefix $WINEPREFIX"
    fi
}

# e2e_setup: work directory, traps, Xvfb, private Wine prefix.
e2e_setup() {
    e2e_require_tools
    E2E_WORK=$(mktemp -d "${TMPDIR:-/tmp}/pictavo-e2e.XXXXXX")
    trap e2e_cleanup EXIT
    trap 'exit 130' INT TERM
    E2E_STARTED=1
    mkdir -p "$E2E_ARTIFACTS"
    e2e_start_xvfb
    [[ $E2E_DESKTOP == wm ]] && e2e_start_window_manager
    e2e_new_prefix
    log "Wine prefix $WINEPREFIX ($E2E_DESKTOP desktop)"
}

# ---------------------------------------------------------------------------
# Programs

# wait_wine_idle SECONDS: waits until the prefix's Wine server and its
# helper processes (services, explorer, ...) have ended; fails when they are
# still there after SECONDS.
wait_wine_idle() {
    timeout "$1" wineserver -w ||
        fail "the Wine server of the prefix was still running $1 s after its last program ended"
}

# start_exe LABEL EXE [ARGS...]: runs EXE under Wine in the background;
# its output goes to LABEL.log; the process id is left in E2E_LAST_PID.
# When none of the programs started before runs any more, it first waits
# for them to be gone and for the Wine server to be idle, so that every
# program starts on a prefix at rest, as after a user's fresh start.
start_exe() {
    local label=$1
    shift
    start_in "$label" "$E2E_WORK" "$@"
}

# start_in LABEL DIR EXE [ARGS...]: start_exe with DIR (a Linux path) as the
# working directory, as a shortcut starts a program.
start_in() {
    local label=$1 dir=$2 exe=$3 pid running=0
    shift 3
    for pid in "${E2E_PROGRAM_PIDS[@]}"; do
        is_running "$pid" && running=1
    done
    ((running)) || wait_wine_idle 60
    (cd "$dir" && exec wine "$exe" "$@") >"$E2E_WORK/$label.log" 2>&1 &
    E2E_LAST_PID=$!
    E2E_PIDS+=("$E2E_LAST_PID")
    E2E_PROGRAM_PIDS+=("$E2E_LAST_PID")
    log "started $label in $dir: wine $(basename "$exe") $* (pid $E2E_LAST_PID)"
}

is_running() { kill -0 "$1" 2>/dev/null; }
has_ended() { ! is_running "$1"; }

# wait_exit PID SECONDS: 0 when the process ended in time (its status is left
# in E2E_EXIT_STATUS), 1 when it is still running.
wait_exit() {
    wait_until "$2" has_ended "$1" || return 1
    E2E_EXIT_STATUS=0
    wait "$1" 2>/dev/null || E2E_EXIT_STATUS=$?
}

# wait_end PID SECONDS: the program ends in time, and with status 0.
wait_end() {
    wait_exit "$1" "$2" || fail "the program (pid $1) was still running $2 s after it was asked to end"
    ((E2E_EXIT_STATUS == 0)) || fail "the program (pid $1) ended with status $E2E_EXIT_STATUS"
    log "program $1 ended"
}

# ---------------------------------------------------------------------------
# Windows, keys and screenshots

# regex_quote TEXT: TEXT as an anchored extended regular expression.
regex_quote() {
    printf '^%s$' "$(printf '%s' "$1" | sed -e 's/[][\.*^$+?(){}|/]/\\&/g')"
}

# find_windows TITLE: ids of the visible windows whose title is exactly TITLE.
find_windows() {
    xdotool search --onlyvisible --name "$(regex_quote "$1")" 2>/dev/null || true
}

# wait_window TITLE SECONDS: prints the id of a visible window titled exactly
# TITLE; fails (status 1) when none appears in time. (A search gives up when
# a window goes away while it looks at it, as one does while dialogs close:
# so it looks again and again.)
wait_window() {
    local title=$1 secs=$2 ids i
    for ((i = 0; i < secs * 10; i++)); do
        ids=$(find_windows "$title")
        if [[ -n "$ids" ]]; then
            head -n 1 <<<"$ids"
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# wait_no_window TITLE SECONDS: 0 when no visible window has the title (any
# more), 1 when one is still there after SECONDS.
no_window_titled() { [[ -z "$(find_windows "$1")" ]]; }
wait_no_window() { wait_until "$2" no_window_titled "$1"; }

window_name() { xdotool getwindowname "$1" 2>/dev/null; }

# window_visible WIN: the X window WIN exists and is mapped.
window_visible() {
    xdotool search --onlyvisible --name '.*' 2>/dev/null | grep -qx "$1"
}

# wait_visible WIN SECONDS: 0 when the window became visible in time.
wait_visible() { wait_until "$2" window_visible "$1"; }

# window_geometry WIN: prints "X Y WIDTH HEIGHT" of the window on the screen
# as the user sees it, with the frame a window manager put around it.
window_geometry() {
    local x y w h left=0 right=0 top=0 bottom=0 extents
    read -r x y w h <<<"$(xwininfo -id "$1" 2>/dev/null | awk -F: '
        /Absolute upper-left X/ {x=$2} /Absolute upper-left Y/ {y=$2}
        /^ *Width/ {w=$2} /^ *Height/ {h=$2} END {print x, y, w, h}')"
    extents=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= *//p' | tr -d ',')
    [[ -n "$extents" ]] && read -r left right top bottom <<<"$extents"
    echo "$((x - left)) $((y - top)) $((w + left + right)) $((h + top + bottom))"
}

# focused_window: the window that holds the X keyboard focus.
focused_window() { xdotool getwindowfocus 2>/dev/null || echo none; }

has_focus() { [[ "$(focused_window)" == "$1" ]]; }

# send_key WIN KEY...: types the keys into the window WIN once it holds the
# keyboard focus (the program or the window manager gives it the focus; the
# harness never moves it). Fails when WIN does not get the focus in time.
send_key() {
    local win=$1
    shift
    wait_until 30 has_focus "$win" ||
        fail "window $win ($(window_name "$win")) did not get the keyboard focus within 30 s; the focus is on $(focused_window)"
    press "$@"
}

# press KEY...: types the keys on the keyboard, that is into whichever window
# holds the X focus. Press and release both go through the keyboard (XTEST),
# whatever becomes of the window in between, so no key is left held down to
# repeat into the next program.
press() {
    local key
    for key in "$@"; do
        log "key $key (focus: $(focused_window))"
        xdotool key "$key" || fail "xdotool could not type $key"
    done
}

# screenshot NAME: the whole screen as $E2E_ARTIFACTS/<test>-NAME.png; prints the path.
screenshot() {
    local out="$E2E_ARTIFACTS/$E2E_NAME-$1.png"
    import -window root "$out" || fail "import could not take a screenshot"
    printf '%s\n' "$out"
}

# crop_window SHOT WIN NAME: the window's area of SHOT as its own file; prints the path.
crop_window() {
    local shot=$1 win=$2 x y w h out="$E2E_ARTIFACTS/$E2E_NAME-$3.png"
    read -r x y w h <<<"$(window_geometry "$win")"
    convert "$shot" -crop "${w}x${h}+${x}+${y}" +repage "$out" || fail "could not crop $shot"
    printf '%s\n' "$out"
}

# colour_count PNG: number of distinct colours.
colour_count() { convert "$1" -format %k info:; }

# ---------------------------------------------------------------------------
# Registry

# wine_reg ARGS...: runs `wine reg ARGS...` with a time limit; its output
# without carriage returns.
wine_reg() {
    local out rc=0
    out=$(timeout 60 wine reg "$@" 2>/dev/null) || rc=$?
    ((rc != 124)) || fail "wine reg $1 did not answer within 60 s"
    printf '%s\n' "$out" | tr -d '\r'
    return "$rc"
}

# reg_set NAME VALUE: stores VALUE as the REG_SZ value NAME of the program's settings key.
reg_set() {
    wine_reg add "$PICTAVO_REG_KEY" /v "$1" /d "$2" /f >/dev/null || fail "could not store the setting $1"
}

# reg_get NAME: prints the REG_SZ value NAME of the program's settings key.
# Status 1 when the value is missing, 2 when it is not a REG_SZ.
reg_get() {
    local name=$1 out line prefix
    out=$(wine_reg query "$PICTAVO_REG_KEY" /v "$name") || return 1
    prefix="    $name    "
    while IFS= read -r line; do
        [[ "$line" == "$prefix"* ]] || continue
        line=${line#"$prefix"}
        case "$line" in
        "REG_SZ    "*) printf '%s' "${line#REG_SZ    }" ;;
        "REG_SZ") ;;
        *)
            printf '%s' "${line%%    *}"
            return 2
            ;;
        esac
        return 0
    done <<<"$out"
    return 1
}

# reg_names: the names of all values under the program's settings key.
reg_names() {
    wine_reg query "$PICTAVO_REG_KEY" |
        sed -n 's/^    \([^ ].*\)    REG_[A-Z_]*\(    .*\)\{0,1\}$/\1/p'
}

reg_key_exists() { wine_reg query "$PICTAVO_REG_KEY" >/dev/null; }

# expect_reg NAME VALUE: the stored value is exactly VALUE.
expect_reg() {
    local name=$1 want=$2 got rc=0
    got=$(reg_get "$name") || rc=$?
    case $rc in
    0) ;;
    1) fail "registry value \"$name\" is missing" ;;
    *) fail "registry value \"$name\" has type $got, expected REG_SZ" ;;
    esac
    [[ "$got" == "$want" ]] || fail "registry value \"$name\" is \"$got\", expected \"$want\""
    log "registry $name = \"$got\""
}

# wine_path DIR: the Windows form (Z:\...) of a Linux path.
wine_path() {
    local out
    out=$(timeout 60 winepath -w "$1" 2>/dev/null) || fail "winepath could not name $1 within 60 s"
    printf '%s' "$out" | tr -d '\r'
}
