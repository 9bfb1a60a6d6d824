# The Wine prefix that Sorvel runs in, set up the same way everywhere and under every
# Wine (Debian 12's 8.0, Debian 13's 10.0): sourced by scripts/lib.sh for the run, test
# and benchmark prefixes. Bash; source, don't run.

# The version of the settings below. Raise it whenever they change: a prefix stamped
# with an older version (or with none: made before the stamp existed) gets them again.
SORVEL_PREFIX_SETTINGS=5

# prepare_wine_prefix DIR [managed]
#
# Makes a Wine prefix in DIR unless one is there, brings its settings up to date,
# and points WINEPREFIX at it. The settings:
# - the Japanese font stands in for the dialogs' font, and is linked to Tahoma
#   (menus and captions), which has no Japanese of its own; the SystemLink value
#   is the list "ipagp.ttf,IPAPGothic";
# - Wine's menu builder is off, so nothing lands in the menus and icons of $HOME;
# - Mono and Gecko are off (mscoree, mshtml) in the prefix itself, so that the
#   update Wine makes to a prefix after an upgrade does not offer to install them;
# - a program that crashes ends at once with the exception's code, as on Windows
#   without a debugger: no crash debugger is started (AeDebug's Debugger is empty).
#   Wine still prints the fault on stderr ("wine: Unhandled page fault ..."). Wine's
#   own debugger, winedbg --auto, would print a backtrace, but it ends the program
#   from its own process (TerminateProcess), and a Wine process ended from outside
#   leaves its Unix parent 0 whenever its last thread goes through the signal that
#   ends it, before it learns the exit code: 0 in many runs. Without a debugger the
#   program ends itself, always with the code;
# - by default windows are not left to a window manager: the private display has
#   none, and Wine would wait two seconds for one every time a window is hidden.
#   Wine draws frames and captions itself, with its own Marlett for the buttons.
# - with "managed", for a person's desktop: the window manager places, focuses,
#   maximises and minimises the windows, but Wine still draws the caption, so that
#   clicking its icon opens the program's own system menu (with the About item).
#
# The settings' version and the mode are stamped into DIR/.sorvel-settings; an
# existing prefix is never deleted, only given the settings again.
prepare_wine_prefix() {
    export WINEPREFIX=$1 WINEDEBUG=-all
    # Sorvel.exe is a 64-bit program: a WINEARCH=win32 of the user's would make a
    # prefix it cannot run in, or refuse to start Wine in the 64-bit one.
    unset WINEARCH
    local mode=unmanaged managed=N decorated=Y
    if [ "${2:-}" = managed ]; then
        mode=managed managed=Y decorated=N
    fi
    local stamp=$WINEPREFIX/.sorvel-settings have
    have=$(cat "$stamp" 2>/dev/null) || have=
    if [ "${have#* }" = "$mode" ] && [ "${have%% *}" -ge "$SORVEL_PREFIX_SETTINGS" ] 2>/dev/null; then
        return 0
    fi

    # No Mono or Gecko: the program needs neither, and there may be no network to
    # fetch them. No menu builder, from the very first start.
    local overrides="mscoree,mshtml,winemenubuilder.exe="
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "== making a Wine prefix in $WINEPREFIX"
        mkdir -p "$WINEPREFIX" || return 1
        WINEDLLOVERRIDES=$overrides wineboot -i >/dev/null 2>&1 || return 1
    elif [ -z "$have" ]; then
        # No stamp: either made before the stamp existed, or a first start that was
        # interrupted (system.reg is written early), which leaves a prefix without
        # its Start menu or half its DLLs. An update finishes either.
        echo "== finishing the Wine prefix in $WINEPREFIX"
        WINEDLLOVERRIDES=$overrides wineboot -u >/dev/null 2>&1 || return 1
    else
        echo "== bringing the settings of the Wine prefix in $WINEPREFIX up to date"
    fi
    local reg=$WINEPREFIX/sorvel.reg
    # UTF-16, so that the Japanese names survive whatever the locale.
    {
        printf '\xff\xfe'
        printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
            '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
            '"ＭＳ Ｐゴシック"="IPAPGothic"' \
            '"ＭＳ ゴシック"="IPAGothic"' '' \
            '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink]' \
            '"Tahoma"=hex(7):69,00,70,00,61,00,67,00,70,00,2e,00,74,00,74,00,66,00,2c,00,49,00,50,00,41,00,50,00,47,00,6f,00,74,00,68,00,69,00,63,00,00,00,00,00' '' \
            '[HKEY_CURRENT_USER\Software\Wine\DllOverrides]' \
            '"winemenubuilder.exe"=""' '"mscoree"=""' '"mshtml"=""' '' \
            '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\AeDebug]' \
            '"Debugger"=""' '' \
            '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' \
            "\"Managed\"=\"$managed\"" \
            "\"Decorated\"=\"$decorated\"" |
            iconv -f UTF-8 -t UTF-16LE
    } >"$reg" || return 1
    WINEDLLOVERRIDES=$overrides wine regedit /S "$reg" >/dev/null 2>&1 || return 1
    rm -f "$reg"
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts" &&
        cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" || return 1
    # The registry reaches its files when the Wine server ends. A server kept up by
    # another run on this prefix (scripts/test's) never does: the settings are in
    # place all the same, and waiting for it would never end.
    timeout 60 wineserver -w ||
        echo "== the Wine server of $WINEPREFIX stays up for another run; not waiting for it"
    rm -f "$WINEPREFIX/.sorvel-ready"  # the marker of the versions before the stamp
    echo "$SORVEL_PREFIX_SETTINGS $mode" >"$stamp"
}
