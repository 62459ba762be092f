# shellcheck shell=bash disable=SC2034
# (SC2034: PROJECT_VERSION, DIST and E2E_ARCH are read by the test scripts.)
# Helpers of the installer tests: the packages in dist/, msiexec, the
# programs' uninstall entries, Start menu shortcuts. Sourced after lib.sh.

# The project version, as tools/package names the packages.
PROJECT_VERSION=$(sed -n 's/^project(Pictavo VERSION \([0-9][0-9.]*\).*/\1/p' "$REPO_ROOT/CMakeLists.txt")
DIST=${PICTAVO_E2E_DIST:-$REPO_ROOT/dist}
# Which of the packages: x64, or x86 (the 32-bit program, see x86.sh).
E2E_ARCH=${PICTAVO_E2E_ARCH:-x64}

# Shortcuts and menus stay inside the prefix: no desktop entries in $HOME.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"

# dist_package NAME: the path of dist/NAME; fails when it is not there.
dist_package() {
    local file="$DIST/$1"
    [[ -f "$file" ]] || fail "$file is missing: run bash tools/package"
    printf '%s\n' "$file"
}

# msiexec LABEL ARGS...: runs `wine msiexec ARGS... /qn` with a verbose log
# (kept as LABEL-msi.log), waits for the prefix to be at rest, and leaves the
# exit status in MSI_STATUS and the seconds taken in MSI_SECONDS.
msiexec() {
    local label=$1 start end
    shift
    local logfile="$E2E_WORK/$label-msi.log"
    : >"$logfile"
    wait_wine_idle 60
    start=$(date +%s.%N)
    MSI_STATUS=0
    (cd "$E2E_WORK" && timeout 300 wine msiexec "$@" /qn /l*v "$(wine_path "$logfile")") \
        >"$E2E_WORK/$label.log" 2>&1 || MSI_STATUS=$?
    ((MSI_STATUS != 124)) || fail "$label: msiexec did not end within 300 s"
    wait_wine_idle 120
    end=$(date +%s.%N)
    MSI_SECONDS=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.1f", b - a }')
    log "$label: msiexec $* /qn: status $MSI_STATUS, $MSI_SECONDS s"
}

# arp_entries: one line "DisplayName|DisplayVersion|Publisher" for every
# Pictavo among the installed programs (both registry views).
arp_entries() {
    local view
    for view in /reg:64 /reg:32; do
        wine_reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s "$view" 2>/dev/null |
            awk -F'    ' '
                /^HKEY_/ { if (name == "Pictavo") print name "|" ver "|" pub; name = ver = pub = "" }
                $2 == "DisplayName" { name = $4 }
                $2 == "DisplayVersion" { ver = $4 }
                $2 == "Publisher" { pub = $4 }
                END { if (name == "Pictavo") print name "|" ver "|" pub }' || true
    done | sort -u
}

# product_icons: the icon files the installer registered for Pictavo.
product_icons() {
    wine_reg query 'HKLM\Software\Classes\Installer\Products' /s /reg:64 2>/dev/null |
        awk -F'    ' '
            /^HKEY_/ { if (name == "Pictavo") print icon; name = icon = "" }
            $2 == "ProductName" { name = $4 }
            $2 == "ProductIcon" { icon = $4 }
            END { if (name == "Pictavo") print icon }' || true
}

# start_menu_links: the Start menu shortcuts named Pictavo (all users' or the user's).
start_menu_links() {
    find "$WINEPREFIX/drive_c" -path '*/Start Menu/Programs/*' -name 'Pictavo.lnk' 2>/dev/null | sort
}

# lnk_field LNK FIELD: "target" or "workdir" of a shell link, as Windows reads it.
lnk_field() {
    python3 - "$1" "$2" <<'EOF'
import struct, sys

data = open(sys.argv[1], "rb").read()
header, = struct.unpack_from("<I", data, 0)
flags, = struct.unpack_from("<I", data, 0x14)
pos = header


def utf16z(at):
    end = at
    while data[end:end + 2] != b"\0\0":
        end += 2
    return data[at:end].decode("utf-16-le")


fields = {}
if flags & 0x01:  # an item id list
    size, = struct.unpack_from("<H", data, pos)
    pos += 2 + size
if flags & 0x02:  # link info: where the target lies
    size, info_header, info_flags, _, base, _, suffix = struct.unpack_from("<7I", data, pos)
    if info_flags & 0x01:
        if info_header >= 0x24:
            base_unicode, = struct.unpack_from("<I", data, pos + 0x1C)
            fields["target"] = utf16z(pos + base_unicode)
        else:
            end = data.index(b"\0", pos + base)
            fields["target"] = data[pos + base:end].decode("cp1252")
    pos += size
wide = flags & 0x80
for bit, name in ((0x04, "name"), (0x08, "relative"), (0x10, "workdir"), (0x20, "arguments"), (0x40, "icon")):
    if flags & bit:
        count, = struct.unpack_from("<H", data, pos)
        pos += 2
        width = 2 if wide else 1
        raw = data[pos:pos + count * width]
        fields[name] = raw.decode("utf-16-le" if wide else "cp1252")
        pos += count * width
print(fields.get(sys.argv[2], "").rstrip("\0"))
EOF
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
    log "started $label in $dir: wine $exe $* (pid $E2E_LAST_PID)"
}

# show_runs_by_itself LABEL PID: the automatic show of the colour tree covers
# the screen with its pictures and ends the program by itself.
show_runs_by_itself() {
    local label=$1 pid=$2 i got colour seen=""
    wait_full_screen "$TITLE" 60 >/dev/null || fail "$label: no picture window covered the screen"
    for ((i = 0; i < 60; i++)); do
        SHOT=$(screenshot "$label")
        got=$(pixel "$SHOT" 960 540)
        for colour in "${PICTURE_COLOURS[@]}"; do
            near "$got" "$colour" && seen=$colour
        done
        [[ -z "$seen" ]] || break
        sleep 0.5
    done
    [[ -n "$seen" ]] || fail "$label: none of the pictures came on the screen (middle pixel $got)"
    log "$label: a picture ($seen) on the screen"
    wait_end "$pid" 120
}

# version_field EXE NAME: a text of the program's version resource, as
# Explorer shows it in the file's properties (ProductName, FileDescription, ...).
version_field() {
    python3 - "$1" "$2" <<'PYEOF'
import sys

data = open(sys.argv[1], "rb").read()
key = sys.argv[2].encode("utf-16-le") + b"\0\0"
at = data.find(key)
if at < 0:
    sys.exit(1)
at += len(key)
at += (4 - at % 4) % 4  # the value starts on a 32-bit boundary
end = at
while data[end:end + 2] != b"\0\0":
    end += 2
print(data[at:end].decode("utf-16-le"))
PYEOF
}
