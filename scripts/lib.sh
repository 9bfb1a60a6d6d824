# Shared helpers for scripts/test, scripts/run and scripts/bench. Source, don't run.

# Installs the Debian packages that are missing, through apt-get as root (or sudo).
ensure_packages() {
    local missing=() pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "== installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq &&
        "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
}

NATIVE_PACKAGES=(cmake g++ make libgtest-dev libbenchmark-dev)
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64 googletest wine wine64 xvfb xdotool imagemagick fonts-ipafont-gothic)

# Starts a private X display for the Windows programs; sets DISPLAY and XVFB_PID.
start_xvfb() {
    local out
    out=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$out" >/dev/null 2>&1 &
    XVFB_PID=$!
    local n
    for n in $(seq 100); do
        [ -s "$out" ] && break
        sleep 0.1
    done
    if [ ! -s "$out" ]; then
        echo "Xvfb did not start"
        rm -f "$out"
        return 1
    fi
    export DISPLAY=":$(head -n 1 "$out")"
    rm -f "$out"
}

stop_xvfb() {
    if [ -n "${XVFB_PID:-}" ]; then
        kill "$XVFB_PID" 2>/dev/null
        wait "$XVFB_PID" 2>/dev/null
        XVFB_PID=
    fi
}

# Makes (once) a Wine prefix in DIR with the Japanese font standing in for the
# dialogs' font, and points WINEPREFIX at it. Its windows are not left to a window
# manager: the private display has none, and Wine would wait two seconds for one
# every time a window is hidden. Wine draws the frames and captions itself instead.
prepare_wine_prefix() {
    export WINEPREFIX=$1 WINEDEBUG=-all
    [ -f "$WINEPREFIX/.sorvel-ready" ] && return 0
    echo "== making a Wine prefix in $WINEPREFIX"
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    # No Mono or Gecko: the programs need neither, and there is no network to fetch them.
    WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1 || return 1
    # The .reg file is UTF-16 so the Japanese font name survives whatever the locale.
    local reg="$WINEPREFIX/fonts.reg"
    {
        printf '\xff\xfe'
        printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n"ＭＳ Ｐゴシック"="IPAPGothic"\r\n"ＭＳ ゴシック"="IPAGothic"\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Managed"="N"\r\n' |
            iconv -f UTF-8 -t UTF-16LE
    } >"$reg"
    wine regedit /S "$reg" >/dev/null 2>&1 || return 1
    wineserver -w
    touch "$WINEPREFIX/.sorvel-ready"
}

# Keeps one Wine server up for the prefix, and starts Wine's background services
# now, with their output going nowhere: started later, from a test, they would
# inherit the test's output pipe and keep it open after the test ends.
start_wine_server() {
    wineserver -p &&
        wine cmd.exe /c exit </dev/null >/dev/null 2>&1
}
