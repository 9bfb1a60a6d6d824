#!/usr/bin/env bash
# The Windows suites of a build under the Wine that this system has, in test prefixes of
# their own, on a private display:
#   wine_suites.sh [--debian13] BUILD_DIR PREFIX [CTEST_ARG...]
# With --debian13, under Debian 13's Wine 10.0, in the Debian 13 root that
# tests/tools/debian13.sh makes (the checkout bound into it at its own path): scripts/test
# runs that beside its own run under Debian 12's Wine 8.0. PREFIX and its copies
# (PREFIX-managed, PREFIX-dpi144, PREFIX-dpi192) are made once and kept. Everything
# started here is stopped at the end.
set -uo pipefail
cd "$(dirname "$0")/../.."
if [ "${1:-}" = --debian13 ]; then
    shift
    exec tests/tools/debian13.sh --bind "$PWD" chroot build/debian13/root env PATH=/usr/sbin:/usr/bin:/sbin:/bin \
        "$PWD/tests/win/wine_suites.sh" "$@"
fi
. scripts/lib.sh
build=$(realpath "$1") prefix=$(realpath -m "$2")
shift 2

cleanup() {
    local p
    for p in "$prefix"{,-managed,-dpi144,-dpi192}; do
        WINEPREFIX=$p wineserver -k 2>/dev/null
    done
    stop_xvfb
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The build's test files copied next to the prefix: ctest keeps its logs beside them,
# apart from those of a run in the build tree itself at the same time.
tests=$prefix.tests
rm -rf "$tests" && mkdir -p "$tests" &&
    (cd "$build" && find . -name CTestTestfile.cmake -exec cp --parents {} "$tests" \;) || exit 1

echo "== $(wine --version 2>/dev/null)"
start_xvfb && prepare_test_prefixes "$prefix" && start_wine_server || exit 1
ctest --test-dir "$tests" --output-on-failure --timeout 300 "$@"
