# Shared helpers for scripts/test, scripts/run and scripts/bench. Source, don't run.

# Installs the Debian packages that are missing, through apt-get as root (or sudo);
# with --no-install-recommends first, without what they recommend.
ensure_packages() {
    local missing=() pkg options=()
    [ "${1:-}" = --no-install-recommends ] && options=("$1") && shift
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "== installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    # One update per run will do.
    if [ -z "${SORVEL_APT_UPDATED:-}" ]; then
        "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq || return 1
        SORVEL_APT_UPDATED=1
    fi
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${options[@]}" "${missing[@]}" >/dev/null
}

NATIVE_PACKAGES=(cmake g++ make libgtest-dev libbenchmark-dev clang libclang-rt-dev)
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64 clang lld googletest wine wine64 fonts-wine xvfb xdotool imagemagick
    fonts-ipafont-gothic openbox python3)
# The Linux edition (GTK 4) and its test on private X and Wayland displays.
LINUX_PACKAGES=(pkg-config libgtk-4-dev xvfb xdotool imagemagick openbox x11-utils wmctrl weston python3)
# The ARM builds: the cross compilers, qemu to run what they build, mmdebstrap for the
# sysroot. Installed without recommends: qemu-user recommends qemu-user-binfmt, which
# would register binfmt handlers on the machine; qemu is always started by name.
ARM_PACKAGES=(g++-aarch64-linux-gnu qemu-user mmdebstrap)
# For scripts/package: the Windows build, the installer, the Debian package and its checks,
# and the web page's build.
PACKAGE_PACKAGES=(cmake g++ g++-mingw-w64-x86-64 googletest libgtest-dev libbenchmark-dev nsis icoutils lintian
    desktop-file-utils appstream dpkg-dev pkg-config libgtk-4-dev emscripten python3)
# The web page: its build, its core tests under node, its tests in headless Chromium
# and WebKit (driven by Debian's own python3 with its selenium) and in Firefox (through
# puppeteer-core, see ensure_puppeteer), the last two on a private display.
WEB_PACKAGES=(cmake emscripten googletest chromium chromium-driver python3-selenium firefox-esr webkit2gtk-driver
    xvfb openbox xdotool x11-utils)

# puppeteer-core, which drives Firefox for the page tests, into DIR/node_modules: no
# lock file, and npm's cache inside DIR as well.
ensure_puppeteer() {
    local dir=$1
    [ -f "$dir/node_modules/puppeteer-core/package.json" ] && return 0
    command -v npm >/dev/null || ensure_packages npm || return 1
    echo "== installing puppeteer-core into $dir"
    mkdir -p "$dir" && npm install --no-save --no-package-lock --no-audit --no-fund --no-update-notifier \
        --cache "$dir/npm-cache" --prefix "$dir" puppeteer-core@24 >/dev/null
}

# Starts a private X display for the Windows programs; sets DISPLAY and XVFB_PID.
# XVFB_SCREEN gives its size: by default large enough for a window with a 1920 x 1080
# client area; scripts/bench asks for one that holds a 3840 x 2160 client area.
start_xvfb() {
    local out
    out=$(mktemp)
    Xvfb -displayfd 3 -screen 0 "${XVFB_SCREEN:-2560x1440}x24" -nolisten tcp 3>"$out" >/dev/null 2>&1 &
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

# Prints the X window of Sorvel's main window once it is on the display; fails
# after 30 s without one.
find_sorvel_window() {
    local window _
    for _ in $(seq 150); do
        window=$(xdotool search --onlyvisible --name '^Sorvel$' 2>/dev/null | head -n 1)
        [ -n "$window" ] && echo "$window" && return 0
        sleep 0.2
    done
    return 1
}

# wait_for_exit PID [SECONDS]: waits for a program started in the background by this
# shell to end, at most SECONDS (default 20), and returns its exit code. One still
# running then (a key that went astray) is reported, stopped, and 124 is returned.
wait_for_exit() {
    local pid=$1 limit=${2:-20} _
    for _ in $(seq $((limit * 10))); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        echo "timeout: the program (pid $pid) did not end within $limit s; stopping it" >&2
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
        return 124
    fi
    wait "$pid"
}

# prepare_wine_prefix DIR [managed]: the Wine prefix, made or brought up to date.
. "$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh"

# The test prefixes: DIR for the programs on the bare display, DIR-managed, a copy
# of it with a person's desktop settings, for the end-to-end run under a window
# manager, and DIR-dpi144 and DIR-dpi192, copies whose system DPI is 144 and 192.
# WINEPREFIX points at DIR afterwards.
prepare_test_prefixes() {
    local dir=$1 dpi
    prepare_wine_prefix "$dir" || return 1
    [ -d "$dir-managed" ] || cp -a "$dir" "$dir-managed" || return 1
    prepare_wine_prefix "$dir-managed" managed || return 1
    for dpi in 144 192; do
        prepare_dpi_prefix "$dir" "$dpi" || return 1
    done
    export WINEPREFIX=$dir
}

# Configures the native preset and builds the Linux edition alone: build/native/bin/sorvel.
build_sorvel_linux() {
    cmake --preset native >/dev/null && cmake --build --preset native --target sorvel -j "$(nproc)" >/dev/null
}

# The same for 64-bit ARM: the sysroot (made once) and the arm64 preset's
# build/arm64/bin/sorvel, cross-built.
build_sorvel_arm64() {
    ensure_packages --no-install-recommends "${ARM_PACKAGES[@]}" && scripts/sysroot arm64 &&
        cmake --preset arm64 >/dev/null && cmake --build --preset arm64 --target sorvel -j "$(nproc)" >/dev/null
}

# prepare_dpi_prefix DIR DPI: DIR-dpiDPI, a copy of the prefix DIR whose system DPI
# (LogPixels) is DPI, made once and then kept up to date like DIR.
prepare_dpi_prefix() {
    local copy=$1-dpi$2
    if [ "$(cat "$copy/.sorvel-dpi" 2>/dev/null)" != "$2" ]; then
        rm -rf "$copy" && cp -a "$1" "$copy" || return 1
        printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"LogPixels"=dword:%08x\r\n' "$2" \
            >"$copy/dpi.reg" || return 1
        WINEPREFIX=$copy WINEDEBUG=-all wine regedit /S "$copy/dpi.reg" >/dev/null 2>&1 || return 1
        WINEPREFIX=$copy wineserver -w
        rm -f "$copy/dpi.reg"
        echo "$2" >"$copy/.sorvel-dpi"
    fi
    prepare_wine_prefix "$copy" || return 1
    export WINEPREFIX=$1
}

# Configures the windows preset and builds Sorvel.exe alone.
build_sorvel() {
    cmake --preset windows >/dev/null && cmake --build --preset windows --target Sorvel -j "$(nproc)" >/dev/null
}

# Configures the web preset and builds the page alone into build/web/page/.
build_page() {
    cmake --preset web >/dev/null && cmake --build --preset web --target sorvel_web -j "$(nproc)" >/dev/null
}

# The version that project() in CMakeLists.txt gives, as a build records it (the windows
# build, or the one in the given build folder).
project_version() { sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "${1:-$PWD/build/windows}/CMakeCache.txt"; }

# start_private_session [CLEANUP]: a private virtual display and a warm Wine server on
# the test prefix, for running the program without a person's display. Both go when
# the script exits, after the script's own CLEANUP command. The exit trap names the
# prefix: it may run before WINEPREFIX is set, and must never stop the user's own
# Wine server.
start_private_session() {
    local prefix=$PWD/build/windows/wineprefix
    trap "${1:+$1; }WINEPREFIX=$(printf %q "$prefix") wineserver -k 2>/dev/null; stop_xvfb" EXIT
    start_xvfb && prepare_wine_prefix "$prefix" && start_wine_server
}

# Keeps one Wine server up for the prefix, and starts Wine's background services
# now, with their output going nowhere: started later, from a test, they would
# inherit the test's output pipe and keep it open after the test ends.
start_wine_server() {
    wineserver -p &&
        wine cmd.exe /c exit </dev/null >/dev/null 2>&1
}

# Writes into DIR a deb-src entry for every enabled entry of apt's own configured
# sources (deb822 *.sources files and one-line entries): the same archive, mirror or
# snapshot, suites, components and keyrings.
write_source_entries() {
    local dir=$1 f
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] || continue
        awk 'BEGIN { RS = ""; FS = "\n" }
            {
                out = ""; wanted = 0; enabled = 1
                for (i = 1; i <= NF; i++) {
                    line = $i
                    if (line ~ /^#/) continue
                    if (tolower(line) ~ /^types:/) {
                        n = split(substr(line, 7), types, /[ \t]+/)
                        for (j = 1; j <= n; j++) if (types[j] == "deb" || types[j] == "deb-src") wanted = 1
                        line = "Types: deb-src"
                    } else if (tolower(line) ~ /^enabled:[ \t]*no/) {
                        enabled = 0
                    }
                    out = out line "\n"
                }
                if (wanted && enabled) printf "%s\n", out
            }' "$f"
    done >"$dir/host.sources"
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$f" ] && sed -n -E 's/^[[:space:]]*deb(-src)?([[:space:]])/deb-src\2/p' "$f"
    done >"$dir/host.list"
    return 0
}

# Prints the Debian archive that apt's own sources take this system's release from
# (the first such URI), so that a root of another release comes from the same place.
# apt reads its sources itself, in either format; --no-release-info needs no lists.
apt_archive() {
    local release
    release=$(. /etc/os-release && echo "$VERSION_CODENAME")
    apt-get indextargets --no-release-info --format '$(REPO_URI) $(RELEASE) $(TARGET_OF)' |
        awk -v release="$release" '!found && $2 == release && $3 == "deb" { sub(/\/$/, "", $1); print $1; found = 1 }
            END { exit !found }'
}

# Google Benchmark's sources for the Windows build, from Debian's source package of
# the same library that libbenchmark-dev ships for Linux, through a private apt
# configuration that adds source entries to the machine's own sources; apt checks
# the archive's signatures and the tarball's hashes. Unpacked once into DIR.
fetch_benchmark_source() {
    local dest=$1
    [ -f "$dest/CMakeLists.txt" ] && return 0
    echo "== fetching Google Benchmark's sources from Debian"
    local work
    work=$(mktemp -d)
    mkdir -p "$work/parts" "$work/lists/partial" "$work/get"
    : >"$work/none.list"
    write_source_entries "$work/parts"
    local apt=(apt-get -qq -o "Dir::Etc::SourceList=$work/none.list" -o "Dir::Etc::SourceParts=$work/parts"
        -o "Dir::State::Lists=$work/lists")
    # A source without source packages makes the update fail; the others still count.
    "${apt[@]}" update >/dev/null 2>&1 || true
    if (cd "$work/get" && "${apt[@]}" source --download-only benchmark >/dev/null 2>&1); then
        mkdir -p "$dest" && tar -xzf "$work"/get/benchmark_*.orig.tar.gz -C "$dest" --strip-components=1
    fi
    rm -rf "$work"
    [ -f "$dest/CMakeLists.txt" ]
}
