#!/usr/bin/env bash
# The Windows suites of a build under the Wine that this system has, in test prefixes of
# their own, on a private display: scripts/test runs it in the Debian 13 root (Wine
# 10.0), beside its own run under Debian 12's Wine 8.0.
#   wine_suites.sh BUILD_DIR PREFIX [CTEST_ARG...]
# PREFIX and its copies (PREFIX-managed, PREFIX-dpi144, PREFIX-dpi192) are made once and
# kept. Everything started here is stopped at the end.
set -uo pipefail
cd "$(dirname "$0")/../.."
. scripts/lib.sh
build=$1 prefix=$2
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

echo "== $(wine --version 2>/dev/null)"
start_xvfb && prepare_test_prefixes "$prefix" && start_wine_server || exit 1
ctest --test-dir "$build" --output-on-failure --timeout 300 "$@"
