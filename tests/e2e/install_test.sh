#!/usr/bin/env bash
# The installer from dist/ as a user meets it, on a fresh Wine prefix: a
# silent install puts the program under Program Files with a Start menu
# shortcut and an entry among the installed programs (publisher, version,
# icon); the program runs a show from the installed path and from the
# shortcut's target; a silent uninstall removes the files, the shortcut and
# the entry and leaves the user's settings; an older package is replaced in
# place by the newer one (one installed copy), and refused after it.
#
# Usage: install_test.sh PATH/TO/pictavo.exe   (the packages come from dist/,
# made by tools/package; the older one is made here; PICTAVO_E2E_ARCH=x86
# takes the 32-bit one, which installs under Program Files (x86))

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/pictures.sh"
source "$(dirname "${BASH_SOURCE[0]}")/install.sh"

EXE=$(abs_path "${1:-}")
TITLE='Pictavo - V1.13a - 06.11.2004'
MSI=$(dist_package "pictavo-$PROJECT_VERSION-$E2E_ARCH.msi")
IFS=. read -r major minor patch <<<"$PROJECT_VERSION"
if ((patch > 0)); then OLD_VERSION="$major.$minor.$((patch - 1))"; else OLD_VERSION="$major.$((minor - 1)).9"; fi

e2e_require_exe "$EXE"
e2e_setup

PROGRAM_FILES='Program Files'
[[ $E2E_ARCH == x64 ]] || PROGRAM_FILES='Program Files (x86)'
INSTALLED="$WINEPREFIX/drive_c/$PROGRAM_FILES/Pictavo"
INSTALLED_EXE="C:\\$PROGRAM_FILES\\Pictavo\\pictavo.exe"

# expect_installed LABEL VERSION: one copy of VERSION, with its files,
# shortcut, entry and icon.
expect_installed() {
    local label=$1 version=$2 entries links icons f
    for f in pictavo.exe LIESMICH.txt Lizenzen/mingw-w64.txt Lizenzen/gcc-runtime.txt Lizenzen/GPL-3.txt; do
        [[ -s "$INSTALLED/$f" ]] || fail "$label: $f is not installed in $INSTALLED"
    done
    entries=$(arp_entries)
    [[ "$entries" == "Pictavo|$version|Corvane" ]] ||
        fail "$label: the installed programs list \"$entries\", expected one \"Pictavo|$version|Corvane\""
    links=$(start_menu_links)
    (($(grep -c . <<<"$links") == 1)) || fail "$label: Start menu shortcuts: \"$links\", expected one Pictavo.lnk"
    icons=$(product_icons)
    (($(grep -c . <<<"$icons") == 1)) || fail "$label: registered product icons: \"$icons\", expected one"
    [[ -s "$(winepath -u "$icons" 2>/dev/null)" ]] || fail "$label: the product icon $icons is not there"
    log "$label: Pictavo $version installed once, with shortcut, entry and icon"
}

expect_removed() {
    local label=$1
    [[ ! -e "$INSTALLED" ]] || fail "$label: $INSTALLED is still there: $(ls -R "$INSTALLED")"
    [[ -z "$(start_menu_links)" ]] || fail "$label: the Start menu shortcut is still there: $(start_menu_links)"
    [[ -z "$(arp_entries)" ]] || fail "$label: still among the installed programs: $(arp_entries)"
    log "$label: program files, shortcut and entry gone"
}

ROOT="$E2E_WORK/Bilder"
make_colour_tree "$ROOT"
SOURCE="$(wine_path "$ROOT")\\*.*"

# A silent install on the fresh prefix.
[[ -z "$(arp_entries)" ]] || fail "the fresh prefix already lists Pictavo"
msiexec install /i "$(wine_path "$MSI")"
((MSI_STATUS == 0)) || fail "the silent install ended with status $MSI_STATUS"
INSTALL_SECONDS=$MSI_SECONDS
expect_installed install "$PROJECT_VERSION"

# From the installed path: an automatic show of the tree, which ends the program.
reg_set Wait 1
start_exe installed "$INSTALLED_EXE" "$SOURCE" '!'
show_runs_by_itself installed-show "$E2E_LAST_PID"

# From the Start menu: the shortcut leads to the installed program, started
# in its folder; Start shows the first picture, Right the next.
LINK=$(start_menu_links)
TARGET=$(lnk_field "$LINK" target)
WORKDIR=$(lnk_field "$LINK" workdir)
[[ "$TARGET" == "$INSTALLED_EXE" ]] || fail "the shortcut leads to \"$TARGET\", expected \"$INSTALLED_EXE\""
log "shortcut $LINK: \"$TARGET\" in \"$WORKDIR\""
reg_set SourceFile "$SOURCE"
reg_set Wait 0
start_in shortcut "$(winepath -u "${WORKDIR:-C:\\}" 2>/dev/null)" "$TARGET"
PID=$E2E_LAST_PID
MAIN=$(wait_window "$TITLE" 60) || fail "the program from the shortcut showed no main window"
send_key "$MAIN" Return
wait_full_screen "$TITLE" 60 >/dev/null || fail "no picture window from the shortcut's program"
expect_picture shortcut-first 0
press Right
expect_picture shortcut-right 1
press Escape
wait_visible "$MAIN" 20 || fail "the main window did not come back after Esc"
send_key "$MAIN" Escape
wait_end "$PID" 20
SETTINGS_BEFORE=$(reg_names | sort)
[[ -n "$SETTINGS_BEFORE" ]] || fail "the program left no settings"

# A silent uninstall: everything of the package goes, the settings stay.
msiexec uninstall /x "$(wine_path "$MSI")"
((MSI_STATUS == 0)) || fail "the silent uninstall ended with status $MSI_STATUS"
UNINSTALL_SECONDS=$MSI_SECONDS
expect_removed uninstall
[[ "$(reg_names | sort)" == "$SETTINGS_BEFORE" ]] || fail "the settings changed at uninstall: $(reg_names | tr '\n' ' ')"
expect_reg SourceFile "$SOURCE"
expect_reg Wait 0

# An older package, then this one: one copy, of this version; the older one
# cannot go over it again.
env -u PICTAVO_SIGN_CERT bash "$REPO_ROOT/tools/package" --no-build --arch "$E2E_ARCH" --version "$OLD_VERSION" \
    --out "$E2E_WORK/old" >"$E2E_WORK/package-old.log" 2>&1 || fail "tools/package could not make $OLD_VERSION: $(cat "$E2E_WORK/package-old.log")"
OLD_MSI="$E2E_WORK/old/pictavo-$OLD_VERSION-$E2E_ARCH.msi"
msiexec install-old /i "$(wine_path "$OLD_MSI")"
((MSI_STATUS == 0)) || fail "installing $OLD_VERSION ended with status $MSI_STATUS"
expect_installed install-old "$OLD_VERSION"
msiexec upgrade /i "$(wine_path "$MSI")"
((MSI_STATUS == 0)) || fail "the upgrade to $PROJECT_VERSION ended with status $MSI_STATUS"
UPGRADE_SECONDS=$MSI_SECONDS
expect_installed upgrade "$PROJECT_VERSION"
msiexec downgrade /i "$(wine_path "$OLD_MSI")"
((MSI_STATUS != 0)) || fail "the older package installed over the newer one"
expect_installed after-downgrade "$PROJECT_VERSION"

log "$E2E_ARCH installer $(stat -c %s "$MSI") bytes; install $INSTALL_SECONDS s, uninstall $UNINSTALL_SECONDS s, upgrade $UPGRADE_SECONDS s under Wine"
