#!/bin/sh
# Installs whatever is missing, builds the program and runs the wizard with the
# stand-in eboot.dll (a virtual handset) in a Wine prefix of its own.
#
#   sh scripts/run.sh                 with a display: opens the wizard there;
#                                     without one: walks a real update in every
#                                     language on a virtual display, with
#                                     screenshots of every page
#   sh scripts/run.sh --walk          the walk even when a display is there
#   sh scripts/run.sh --language ID   the walk in one language only (0409,
#                                     0804, 0C04, 0419, or builtin: no pack)
#   sh scripts/run.sh --update-docs   also copy the screenshots to docs/screens/run/
#
# The build goes to build/<preset> (UPDATER_BUILD_DIR overrides it); the
# preset is win32 where this host can run 32-bit Wine, else win64.
set -u
cd "$(dirname "$0")/.."
root=$PWD

walk=0 docs=0 languages="0409 0804 0C04 0419"
while [ $# -gt 0 ]; do
    case "$1" in
    --walk) walk=1 ;;
    --update-docs) docs=1 walk=1 ;;
    --all-languages) walk=1 ;;
    --language)
        [ $# -ge 2 ] || { echo "--language needs a pack id" >&2; exit 2; }
        languages=$2 walk=1
        shift
        ;;
    -h | --help)
        sed -n '2,15p' "$0" | sed 's/^# \{0,1\}//'
        exit 0
        ;;
    *)
        echo "unknown option $1 (try --help)" >&2
        exit 2
        ;;
    esac
    shift
done

if [ "$(id -u)" = 0 ]; then
    sh scripts/install-deps.sh || { echo "could not install the packages needed" >&2; exit 1; }
else
    sh scripts/install-deps.sh >/dev/null 2>&1 ||
        echo "note: not root, so missing packages were not installed" >&2
fi

if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    preset=win32
else
    preset=win64 # this kernel cannot run 32-bit Linux programs, so neither 32-bit Wine
fi
build=${UPDATER_BUILD_DIR:-build/$preset}
case "$build" in /*) ;; *) build=$root/$build ;; esac

echo "== building ($preset) in $build"
log=$(mktemp)
cmake --preset "$preset" -B "$build" >"$log" 2>&1 || { cat "$log" >&2; rm -f "$log"; exit 1; }
rm -f "$log"
cmake --build "$build" -j2 --target KALDREN_R530_Updater eboot wizdriver_cli ||
    exit 1

if [ "$walk" = 0 ] && [ -n "${DISPLAY:-}" ] && xdotool getdisplaygeometry >/dev/null 2>&1; then
    exec sh scripts/run/show.sh "$build" "$preset"
fi
[ "$walk" = 1 ] || echo "no display reachable: walking the wizard on a virtual display"
unset DISPLAY
sh scripts/run/walk.sh "$build" "$preset" "$languages"
status=$?
if [ "$status" = 0 ] && [ "$docs" = 1 ]; then
    for shots in "$build"/run-shots/*/; do
        name=$(basename "$shots")
        rm -rf "docs/screens/run/$name"
        mkdir -p "docs/screens/run/$name"
        cp "$shots"*.png "docs/screens/run/$name/"
    done
    echo "screenshots copied to docs/screens/run/"
fi
exit $status
