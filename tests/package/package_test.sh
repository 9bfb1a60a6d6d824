#!/usr/bin/env bash
# The release packages as a person would use them, without touching the system:
# built by scripts/package (which runs lintian and desktop-file-validate); Sorvel.exe
# imports system DLLs only and carries its manifest; the installer, run silently in a
# throwaway copy of the test prefix, installs what it should, the installed program
# runs, and the uninstaller leaves nothing; the .debs for amd64 and arm64 hold the Linux
# edition, lintian has nothing to say about them, and their unpacked sorvel draws the
# right picture (the arm64 one under qemu).
#
# Needs DISPLAY (a private one: it presses keys) and the test prefix
# build/windows/wineprefix, as scripts/test provides.
set -uo pipefail
cd "$(dirname "$0")/../.."
. scripts/lib.sh
work=$PWD/build/package-test
failures=0

check() {  # check MESSAGE COMMAND...
    if "${@:2}" >/dev/null 2>&1; then echo "ok    $1"; else echo "FAIL  $1"; failures=$((failures + 1)); fi
}

prefixes=()
cleanup() {
    local p
    for p in "${prefixes[@]}"; do WINEPREFIX=$p wineserver -k 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT

throwaway_prefix() { cp -a "$PWD/build/windows/wineprefix" "$1" && prefixes+=("$1"); }

# Runs the command until Sorvel's window is up, presses Esc; prints the exit code, or
# "none" when no window came, "timeout" when the program did not end after Esc, or
# "crashed" when Wine reported a crash, whatever the exit code.
run_until_esc() {
    "$@" </dev/null >/dev/null 2>"$work/stderr" &
    local pid=$!
    find_sorvel_window >/dev/null || { kill "$pid"; wait "$pid"; echo none; return; }
    sleep 0.5
    xdotool key Escape
    wait_for_exit "$pid"
    local code=$?
    if grep -q "wine: Unhandled" "$work/stderr"; then echo crashed; elif [ "$code" -eq 124 ]; then echo timeout; else echo "$code"; fi
}

scripts/package || exit 1
version=$(project_version)
dir=Sorvel-$version-win64
rm -rf "$work" && mkdir -p "$work"

unzip -p "build/packages/$dir.zip" "$dir/Sorvel.exe" >"$work/Sorvel.exe"
check "the zip holds Sorvel.exe, the README and the licence" \
    test "$(unzip -Z1 "build/packages/$dir.zip" | sort | xargs)" = "$dir/LICENSE.txt $dir/README.md $dir/Sorvel.exe"
web=Sorvel-$version-web
check "the web zip holds the page's files, its manifest, icons and service worker, and the licence" \
    test "$(unzip -Z1 "build/packages/$web.zip" | LC_ALL=C sort | xargs)" = "$web/LICENSE.txt $web/index.html \
$web/manifest.webmanifest $web/sorvel-192.png $web/sorvel-512.png $web/sorvel.css $web/sorvel.ico $web/sorvel.js \
$web/sorvel.wasm $web/sw.js"
check "the page's files are under 100 KB together" \
    test "$(unzip -Z -t "build/packages/$web.zip" | awk '{ print $3 }')" -lt 102400
# The DLLs that come with every Windows; the MinGW runtime must be linked in.
foreign=$(x86_64-w64-mingw32-objdump -p "$work/Sorvel.exe" | sed -n 's/.*DLL Name: *//p' |
    grep -viE '^(kernel32|user32|gdi32|msvcrt|advapi32|api-ms-win-.*)\.dll$')
check "Sorvel.exe imports system DLLs only ($foreign)" test -z "$foreign"
wrestool -x --raw -t24 -n1 "$work/Sorvel.exe" >"$work/manifest.xml"
count() { xmllint --xpath "count(//*[local-name()='$1']${2:-})" "$work/manifest.xml"; }
check "Sorvel.exe's manifest: asInvoker, Windows 7 to 11, per-monitor DPI v2 and dpiAware, Common Controls 6" \
    test "$(count requestedExecutionLevel "[@level='asInvoker']") $(count supportedOS) $(count dpiAwareness \
        "[.='PerMonitorV2']") $(count dpiAware) $(count assemblyIdentity "[@version='6.0.0.0']")" = "1 4 1 1 1"
check "the test programs carry the same manifest, so that Windows gives them the program's DPI" \
    cmp "$work/manifest.xml" <(wrestool -x --raw -t24 -n1 build/windows/bin/program_tests.exe)

export WINEDEBUG=-all WINEPREFIX=$work/windows-prefix
throwaway_prefix "$WINEPREFIX" || exit 1
installed="$WINEPREFIX/drive_c/Program Files/Sorvel"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Sorvel"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Sorvel'
# A wrong installer exits 0 having done nothing here: judge it by what it leaves.
wine "build/packages/$dir-setup.exe" /S && wineserver -w
check "the installer puts Sorvel.exe, the licence, the README and the uninstaller into Program Files\\Sorvel" \
    test -f "$installed/LICENSE.txt" -a -f "$installed/README.md" -a -f "$installed/Uninstall.exe" \
    -a "$(cmp "$installed/Sorvel.exe" "$work/Sorvel.exe" && echo same)" = same
check "the Start menu has the shortcut Sorvel" grep -qa 'Sorvel.exe' "$menu/Sorvel.lnk"
entry=$(wine reg query "$key" | tr -d '\r')
for value in "DisplayName *REG_SZ *Sorvel$" "DisplayVersion *REG_SZ *$version$" "Publisher *REG_SZ *Sorvel$" \
    'DisplayIcon *REG_SZ *C:\\Program Files\\Sorvel\\Sorvel.exe$' \
    'UninstallString *REG_SZ *"C:\\Program Files\\Sorvel\\Uninstall.exe"$'; do
    check "Programs and Features: ${value%% *}" grep -q "$value" <<<"$entry"
done
check "the installed Sorvel.exe opens its window, and Esc ends it with 0" \
    test "$(run_until_esc wine 'C:\Program Files\Sorvel\Sorvel.exe')" = 0
# The uninstaller copies itself into %TEMP% and returns at once: wait for the copy.
wine 'C:\Program Files\Sorvel\Uninstall.exe' /S && wineserver -w
nothing_left() { [ ! -e "$installed" ] && [ ! -e "$menu" ] && ! wine reg query "$key" && ! wine reg query 'HKLM\Software\Sorvel'; }
check "the uninstaller removes the files, the Start-menu folder, the entry and Software\\Sorvel" nothing_left
# The same prefix brought up to date for a person's desktop, as scripts/run does, with a
# user's WINEARCH=win32 around: it stays a 64-bit prefix and gets every setting.
check "a prefix set up with WINEARCH=win32 in the environment still runs 64-bit programs" \
    env WINEARCH=win32 bash -c '. scripts/lib.sh && prepare_wine_prefix "$WINEPREFIX" managed && wine cmd.exe /c exit'
wineserver -w
settings=$(grep -c -e '^"Managed"="Y"' -e '^"Decorated"="N"' -e '^"winemenubuilder.exe"=""' -e '^"mscoree"=""' \
    -e '^"mshtml"=""' "$WINEPREFIX/user.reg")
check "... with the desktop settings: managed windows, Wine's caption, no menu builder, no Mono or Gecko, no crash debugger" \
    test "$settings $(grep -c '^"Debugger"=""' "$WINEPREFIX/system.reg") $(cat "$WINEPREFIX/.sorvel-settings")" = \
        "5 1 $SORVEL_PREFIX_SETTINGS managed"
wineserver -k
unset WINEPREFIX

cmake --build --preset native --target frame_reference >/dev/null || exit 1
# The two Debian packages, from one build-deb.sh: each unpacked, its program run on its
# own display and window manager (the arm64 one under qemu, with the sysroot's
# libraries): the first frame, Esc, exit 0; for arm64 a poke and C as well.
qemu=(--short --emulator "$PWD/cmake/qemu-run" qemu-aarch64 "$PWD/build/sysroot-arm64/root")
for arch in amd64 arm64; do
    deb=build/packages/sorvel_${version}_$arch.deb
    unpacked=$work/deb-$arch
    dpkg-deb -x "$deb" "$unpacked" || exit 1
    desktop_entry=$unpacked/usr/share/applications/org.sorvel.Sorvel.desktop
    metainfo=$unpacked/usr/share/metainfo/org.sorvel.Sorvel.metainfo.xml
    check "the $arch .deb holds the program, the menu entry, icons up to 256 pixels, the manual page and the copyright" \
        test -x "$unpacked/usr/bin/sorvel" -a -f "$desktop_entry" \
        -a -f "$unpacked/usr/share/icons/hicolor/256x256/apps/sorvel.png" \
        -a -f "$unpacked/usr/share/man/man1/sorvel.1.gz" -a -f "$unpacked/usr/share/doc/sorvel/copyright"
    machine=$([ "$arch" = arm64 ] && echo AArch64 || echo "Advanced Micro Devices X86-64")
    check "... is under 100 KB, for $arch, with its program built for $machine" \
        test "$(stat -c %s "$deb")" -lt 102400 -a "$(dpkg-deb -f "$deb" Architecture)" = "$arch" \
        -a "$(readelf -h "$unpacked/usr/bin/sorvel" | sed -n 's/^ *Machine: *//p')" = "$machine"
    check "... its Depends come from the program's libraries, GTK 4 among them, and no Wine" \
        bash -c "dpkg-deb -f '$deb' Depends | grep -q 'libgtk-4-1' && ! dpkg-deb -f '$deb' Depends | grep -qi wine"
    check "... lintian, pedantic and with its notes, reports nothing" test -z "$(lintian -I --pedantic "$deb" 2>/dev/null)"
    run=(--first-frame-only) also=
    [ "$arch" = arm64 ] && run=("${qemu[@]}") also=", under qemu, a poke and C"
    check "... the unpacked sorvel draws the renderer's first frame$also, and Esc ends it with 0 and no warnings" \
        python3 tests/linux/linux_test.py "$unpacked/usr/bin/sorvel" build/native/bin/frame_reference "${run[@]}"
done
check "desktop-file-validate reports nothing" test -z "$(desktop-file-validate "$desktop_entry" 2>&1)"
check "its AppStream metainfo is valid (appstreamcli validate), with a release for version $version" \
    bash -c "appstreamcli validate --no-net '$metainfo' && grep -q '<release version=\"$version\"' '$metainfo'"

[ "$failures" -eq 0 ] && echo "all passed" || { echo "$failures failed"; exit 1; }
