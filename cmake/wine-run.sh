#!/bin/sh
# Runs a Windows program under the project's Wine prefix (CTest's emulator).
# Usage: wine-run.sh PREFIX ARCH PROGRAM [ARGS...]
# Exits 77 (CTest: skipped) when the host cannot run that architecture.
prefix=$1 arch=$2
shift 2
. "$(dirname "$0")/wine-common.sh"
wine_env "$prefix" "$arch" || { echo "skipped: this host cannot run $arch Wine programs" >&2; exit 77; }
[ -f "$prefix/.ready" ] || { echo "Wine prefix $prefix is not set up (run the wine.setup test first)" >&2; exit 1; }
wine_display "$prefix"
exec "$WINE" "$@"
