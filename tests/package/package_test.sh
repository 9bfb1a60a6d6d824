#!/usr/bin/env bash
# The release packages, as a person would use them, without touching the system:
# - scripts/package builds them (and checks the .deb with lintian and the menu
#   entry with desktop-file-validate);
# - Sorvel.exe carries a well-formed application manifest, the tests do not;
# - the Windows installer, run silently in a throwaway copy of the test prefix,
#   installs the files, the Start-menu shortcut and the uninstall entry; the
#   installed Sorvel.exe opens its window and Esc ends it with 0; the silent
#   uninstaller leaves nothing behind;
# - the .deb, unpacked into the build tree, runs through its sorvel command in a
#   prefix inside the build tree: seeded with a copy of the test prefix, whose
#   settings are for the private display, it gets the desktop settings on the way.
#
#   tests/package/package_test.sh
#
# Needs DISPLAY (a private one: the test presses keys) and the test prefix
# build/windows/wineprefix, as scripts/test provides.
set -uo pipefail
cd "$(dirname "$0")/../.."
. scripts/lib.sh
root=$PWD
work=$root/build/package-test
failures=0

check() {  # check MESSAGE COMMAND...: runs the command, reports ok or FAIL
    local message=$1
    shift
    if "$@" >/dev/null 2>&1; then
        echo "ok    $message"
    else
        echo "FAIL  $message"
        failures=$((failures + 1))
    fi
}

# Wine servers of the throwaway prefixes, stopped at the end whatever happens.
prefixes=()
cleanup() {
    local p
    for p in "${prefixes[@]}"; do
        WINEPREFIX=$p wineserver -k 2>/dev/null
    done
    rm -rf "$work"
}
trap cleanup EXIT

# A copy of the test prefix, with its own Wine server.
throwaway_prefix() {
    rm -rf "$1"
    cp -a "$root/build/windows/wineprefix" "$1" && prefixes+=("$1")
}

# run_until_esc COMMAND...: starts the command, waits for Sorvel's window, presses
# Esc and prints the command's exit code (or "none" when there was no window).
run_until_esc() {
    "$@" </dev/null >/dev/null 2>&1 &
    local pid=$!
    if ! find_sorvel_window >/dev/null; then
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
        echo none
        return
    fi
    sleep 0.5
    xdotool key Escape
    wait "$pid"
    echo $?
}

no_key() { ! wine reg query "$1"; }

reg_value() {  # reg_value KEY NAME: the value's data, from the 64-bit registry view
    wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}

echo "== building the packages"
scripts/package || exit 1
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/windows/CMakeCache.txt)
zip=build/packages/Sorvel-$version-win64.zip
setup=build/packages/Sorvel-$version-win64-setup.exe
deb=build/packages/sorvel_${version}_amd64.deb
rm -rf "$work"
mkdir -p "$work"

echo "== the manifest"
unzip -p "$zip" "Sorvel-$version-win64/Sorvel.exe" >"$work/Sorvel.exe"
wrestool -x --raw -t24 -n1 "$work/Sorvel.exe" >"$work/manifest.xml" 2>/dev/null
check "the zip holds Sorvel.exe, the README and the licence" \
    test "$(unzip -Z1 "$zip" | sort | tr '\n' ' ')" = \
    "Sorvel-$version-win64/LICENSE.txt Sorvel-$version-win64/README.md Sorvel-$version-win64/Sorvel.exe "
check "Sorvel.exe carries a well-formed manifest" xmllint --noout "$work/manifest.xml"
manifest_has() { [ "$(xmllint --xpath "count($1)" "$work/manifest.xml")" -ge "${2:-1}" ]; }
check "the manifest asks for asInvoker" manifest_has "//*[local-name()='requestedExecutionLevel'][@level='asInvoker']"
check "the manifest names Windows 7 to 10/11" manifest_has "//*[local-name()='supportedOS']" 4
check "the manifest declares per-monitor (v2) DPI awareness, and dpiAware" \
    manifest_has "//*[local-name()='dpiAwareness'][contains(., 'PerMonitorV2')] | //*[local-name()='dpiAware']" 2
check "the manifest asks for Common Controls 6" \
    manifest_has "//*[local-name()='assemblyIdentity'][@name='Microsoft.Windows.Common-Controls'][@version='6.0.0.0']"
check "the test programs carry no manifest" \
    test -z "$(wrestool -l -t24 build/windows/bin/program_tests.exe)"

echo "== the Windows installer, in a throwaway prefix"
export WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d"
export WINEPREFIX=$work/windows-prefix
throwaway_prefix "$WINEPREFIX" || exit 1
installed="$WINEPREFIX/drive_c/Program Files/Sorvel"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Sorvel"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Sorvel'
# The installer's exit code says little (a 32-bit one exits 0 here having done
# nothing): its work is judged by what it leaves.
wine "$setup" /S
wineserver -w
check "the installer puts Sorvel.exe into Program Files\\Sorvel" cmp "$installed/Sorvel.exe" build/windows/bin/Sorvel.exe
check "... with the licence, the README and the uninstaller" \
    test -f "$installed/LICENSE.txt" -a -f "$installed/README.md" -a -f "$installed/Uninstall.exe"
check "the Start menu has the shortcut Sorvel" grep -qa 'Sorvel.exe' "$menu/Sorvel.lnk"
check "Programs and Features: display name" test "$(reg_value "$uninstall_key" DisplayName)" = Sorvel
check "Programs and Features: version" test "$(reg_value "$uninstall_key" DisplayVersion)" = "$version"
check "Programs and Features: publisher" test "$(reg_value "$uninstall_key" Publisher)" = Sorvel
check "Programs and Features: icon" test "$(reg_value "$uninstall_key" DisplayIcon)" = 'C:\Program Files\Sorvel\Sorvel.exe'
check "Programs and Features: uninstall command" \
    test "$(reg_value "$uninstall_key" UninstallString)" = '"C:\Program Files\Sorvel\Uninstall.exe"'
check "the installed Sorvel.exe opens its window, and Esc ends it with 0" \
    test "$(run_until_esc wine 'C:\Program Files\Sorvel\Sorvel.exe')" = 0
# The uninstaller copies itself into %TEMP% and returns at once: wait for the copy.
wine "C:\\Program Files\\Sorvel\\Uninstall.exe" /S
wineserver -w
check "the uninstaller removes the files and the folder" test ! -e "$installed"
check "... the Start-menu folder" test ! -e "$menu"
check "... the uninstall entry" no_key "$uninstall_key"
check "... and the key Software\\Sorvel" no_key 'HKLM\Software\Sorvel'
wineserver -k

echo "== the Debian package, unpacked"
dpkg-deb -x "$deb" "$work/deb" || exit 1
export SORVEL_WINEPREFIX=$work/deb-prefix
throwaway_prefix "$SORVEL_WINEPREFIX" || exit 1
unset WINEPREFIX WINEDLLOVERRIDES
check "its sorvel command opens the window, and Esc ends it with 0" \
    test "$(run_until_esc "$work/deb/usr/bin/sorvel")" = 0
WINEPREFIX=$SORVEL_WINEPREFIX wineserver -w
check "the prefix is stamped with the desktop settings" \
    grep -qx "[0-9]* managed" "$SORVEL_WINEPREFIX/.sorvel-settings"
desktop_settings() {
    [ "$(grep -c -e '^"Managed"="Y"' -e '^"Decorated"="N"' -e '^"winemenubuilder.exe"=""' "$1")" -eq 3 ]
}
check "... and has them: managed windows with Wine's caption, no menu builder" \
    desktop_settings "$SORVEL_WINEPREFIX/user.reg"

if [ "$failures" -ne 0 ]; then
    echo "$failures failed"
    exit 1
fi
echo "all passed"
