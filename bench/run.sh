#!/bin/sh
# Builds what the bench needs and runs it under Wine in a prefix of its own,
# then prints one table (Markdown) with the date and the machine.
#
# Usage: sh bench/run.sh [bench_driver options, e.g. --startup-runs 5 --runs 3]
#
# 32-bit Wine needs the kernel's 32-bit emulation, which hosts like this one
# lack, so the figures come from the x86_64 build of the same sources
# (build/bench-64); the i686 product build (build/bench-32) is built only to
# weigh its files.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build64=$root/build/bench-64
build32=$root/build/bench-32
prefix=$build64/bench-wineprefix
jobs=${BENCH_JOBS:-2}

configure() {
    [ -f "$2/build.ninja" ] || cmake --preset "$1" -B "$2" -S "$root" >/dev/null
}

echo "Building (x86_64 for measuring, i686 for sizes)..." >&2
configure win64 "$build64"
cmake --build "$build64" -j "$jobs" --target bench_driver >/dev/null
configure win32 "$build32"
cmake --build "$build32" -j "$jobs" --target KALDREN_R530_Updater bench_bare_wizard \
    language_0409 language_0804 language_0C04 language_0419 >/dev/null

# Copies without symbols and debug information, to show what they weigh.
for pair in "$build32 i686" "$build64 x86_64"; do
    dir=${pair% *} arch=${pair#* }
    mkdir -p "$dir/bench/stripped"
    for file in "$dir/bin/KALDREN_R530_Updater.exe" "$dir/bench/bench_bare_wizard.exe"; do
        "$arch-w64-mingw32-strip" -o "$dir/bench/stripped/$(basename "$file")" "$file"
    done
done

echo "Setting up the Wine prefix $prefix..." >&2
sh "$root/cmake/wine-fixture.sh" setup "$prefix" win64
trap 'sh "$root/cmake/wine-fixture.sh" cleanup "$prefix" win64' EXIT INT TERM

winpath() { echo "Z:$1" | tr / '\\'; }

cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)
cores=$(nproc)
echo "Measured $(date -u '+%Y-%m-%d %H:%M UTC') on $(uname -srm), $cpu, $cores cores,"
echo "$(/usr/lib/wine/wine64 --version 2>/dev/null || echo Wine) with Xvfb. Times come from the x86_64"
echo "build under Wine (32-bit Wine cannot run on this host); sizes are given for both builds."
echo "Each timed figure: median [min-max, n=runs], baseline measured in the same run."
echo "Load average before the run: $(cut -d' ' -f1-3 /proc/loadavg)."
echo
# Wine's remark about the Z: drive's volume label is noise here.
{ sh "$root/cmake/wine-run.sh" "$prefix" win64 "$build64/bench/bench_driver.exe" \
    --build32 "$(winpath "$build32")" --build64 "$(winpath "$build64")" "$@" 2>&1 1>&3 |
    { grep -v 'FS volume label' || true; } >&2; } 3>&1
echo
echo "Load average after the run: $(cut -d' ' -f1-3 /proc/loadavg)."
