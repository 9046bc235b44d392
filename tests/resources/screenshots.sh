#!/bin/sh
# Screenshots of every page of the program's own resource set and of each
# language pack, as the wizard frame shows them, for a person to check that
# every text fits. Each pack is shown under the system language it is meant
# for. Needs a win64 build with the viewer and the packs:
#
#   cmake --build build/win64 --target resource_viewer language_0409 \
#       language_0804 language_0C04 language_0419
#   sh tests/resources/screenshots.sh [BUILD_DIR [OUT_DIR]]
#
# Writes OUT_DIR/<set>-<page>.png (default docs/screens/templates), page 5
# twice: during a download and after a failed one (5-failed).
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build/win64}" && pwd)
out=${2:-$root/docs/screens/templates}
prefix=$build/wineprefix
viewer=$build/tests/resources/resource_viewer.exe
mkdir -p "$out"

sh "$root/cmake/wine-fixture.sh" setup "$prefix" win64
trap 'sh "$root/cmake/wine-fixture.sh" cleanup "$prefix" win64' EXIT
DISPLAY=$(cat "$prefix/.display")
export DISPLAY
work=$(mktemp -d)

# shot NAME LOCALE VIEWER-ARGS...: shows one page on a virtual desktop (so
# the window gets its caption bar) and keeps the window's part of the screen.
shot() {
    name=$1 locale=$2
    shift 2
    LOCPATH=$build/locales LANG=$locale.UTF-8 LC_ALL=$locale.UTF-8 \
        sh "$root/cmake/wine-run.sh" "$prefix" win64 explorer /desktop=shots,800x600 \
        "$viewer" --hold 2000 "$@" >"$work/out.txt" 2>/dev/null &
    pid=$!
    # The viewer prints the window's size once it has painted the page.
    i=0 size=""
    while [ -z "$size" ] && [ $i -lt 100 ]; do
        sleep 0.1
        i=$((i + 1))
        size=$(sed -n 's/^size \([0-9]*\) \([0-9]*\).*/\1x\2/p' "$work/out.txt")
    done
    [ -n "$size" ] || { echo "no window for $name" >&2; exit 1; }
    sleep 0.5
    import -window root "$work/screen.png"
    wait $pid || true
    convert "$work/screen.png" -crop "$size+0+0" +repage "$out/$name.png"
    echo "$out/$name.png"
}

for set in builtin:en_US 0409:en_US 0804:zh_CN 0C04:zh_TW 0419:ru_RU; do
    code=${set%%:*} locale=${set#*:}
    if [ "$code" = builtin ]; then pack=""; else pack="--pack $build/bin/Language.$code.dll"; fi
    for page in 1 2 3 4 5 6; do
        # shellcheck disable=SC2086
        shot "$code-$page" "$locale" $pack --page $page
    done
    # shellcheck disable=SC2086
    shot "$code-5-failed" "$locale" $pack --page 5 --failed
done
rm -rf "$work"
