#!/bin/sh
# Walks the wizard through a real update of the virtual handset, once per
# language, on a virtual display: welcome, getting started, image file (Browse,
# the open-file dialog answered with a sample image), notice, Updating, the
# completion page and Finish. Saves a screenshot of every page and of the
# transfer in progress, and checks that the handset's flash then holds exactly
# the image. Exits non-zero when any step of any language failed.
# Usage: walk.sh BUILD PRESET "0409 0804 ..."
set -u
build=$1 preset=$2 languages=$3
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/scripts/run/common.sh"

driver=$build/tests/blackbox/wizdriver.exe
[ -f "$driver" ] || { echo "no driver at $driver" >&2; exit 1; }
shots_root=$build/run-shots
samples=${TMPDIR:-/tmp}/kaldren-updater
failures=""
program_pid=""

language_name() {
    case "$1" in
    0409) echo en ;;
    0804) echo zh-Hans ;;
    0C04) echo zh-Hant ;;
    0419) echo ru ;;
    builtin) echo builtin ;; # Config.ini names no existing pack: the program's own set
    *) return 1 ;;
    esac
}

drive() {
    wine_run "$driver" "$@"
}

shot() {
    # The windows sit at the top left of an otherwise black screen: trimming
    # the black leaves the wizard, and the open-file dialog when it is up.
    import -display "$display" -window root png:- 2>/dev/null |
        convert png:- -bordercolor black -border 1 -trim +repage "$shots/$1.png" ||
        { echo "  screenshot $1 failed" >&2; return 1; }
    echo "  $shots/$1.png"
}

fail() {
    echo "  FAILED: $*" >&2
    drive state >&2 2>/dev/null
    shot failed >/dev/null 2>&1
    return 1
}

# Polls the wizard's state until its progress bar is inside the range.
wait_progress_between() {
    low=$1 high=$2 i=0
    while [ $i -lt 300 ]; do
        pos=$(drive state | sed -n 's/^ *progress \([0-9]*\) in.*/\1/p')
        if [ -n "$pos" ] && [ "$pos" -ge "$low" ] && [ "$pos" -le "$high" ]; then
            return 0
        fi
        i=$((i + 1))
    done
    return 1
}

wait_next_enabled() {
    i=0
    while [ $i -lt 30 ]; do
        drive state | grep -q '^  next: visible enabled' && return 0
        i=$((i + 1))
    done
    return 1
}

wait_file_dialog() {
    i=0
    while [ $i -lt 10 ]; do
        drive filedialog state >/dev/null 2>&1 && return 0
        i=$((i + 1))
    done
    return 1
}

wait_program_exit() {
    i=0
    while kill -0 "$program_pid" 2>/dev/null; do
        [ $i -ge 100 ] && return 1
        sleep 0.1
        i=$((i + 1))
    done
    wait "$program_pid" 2>/dev/null
    program_pid=""
}

stop_program() {
    if [ -n "$program_pid" ]; then
        kill "$program_pid" 2>/dev/null
        wait "$program_pid" 2>/dev/null
        program_pid=""
    fi
}

start_program() {
    # Started from its own folder, where the open-file dialog then opens.
    (cd "$folder" && exec sh "$root/cmake/wine-run.sh" "$prefix" "$arch" \
        "$folder/KALDREN_R530_Updater.exe") >"$folder/output.txt" 2>&1 &
    program_pid=$!
    drive wait-wizard 30000 >/dev/null || { fail "no wizard appeared"; return 1; }
}

# From the welcome page to the Updating page, choosing the sample with Browse;
# with shots, a screenshot of every step.
walk_to_updating() {
    with_shots=$1
    take() { [ "$with_shots" = 0 ] || shot "$1"; }
    drive wait-page 0 5000 || { fail "not on the welcome page"; return 1; }
    take 1-welcome || return 1

    drive press next && drive wait-page 1 5000 || { fail "no getting-started page"; return 1; }
    take 2-getting-started || return 1

    drive press next && drive wait-page 2 5000 || { fail "no image file page"; return 1; }
    take 3-image-file || return 1

    drive click 1004 && wait_file_dialog || { fail "Browse opened no open-file dialog"; return 1; }
    drive filedialog set "$(windows_path "$sample")" || { fail "could not type the path"; return 1; }
    take 4-open-file-dialog || return 1
    drive filedialog open || { fail "the open-file dialog did not close"; return 1; }
    wait_next_enabled || { fail "Next not enabled"; return 1; }
    take 5-image-chosen || return 1

    drive press next && drive wait-page 3 5000 || { fail "no notice page"; return 1; }
    wait_next_enabled || { fail "Next not enabled"; return 1; }
    take 6-notice || return 1

    drive press next && drive wait-page 4 5000 || { fail "no Updating page"; return 1; }
}

handset_settings() {
    # A visible transfer: 16 KiB a step, 0.15 s each, about 5 s for the sample.
    printf '[Handset]\r\nChunkSize=16384\r\nChunkPauseMs=150\r\nConnected=%s\r\n' "$1" \
        >"$folder/eboot.ini"
}

walk_language() {
    pack=$1
    folder=$build/run/$pack
    make_run_folder "$folder" "$pack" || return 1
    # A short path that reads well in the screenshots; made afresh each time.
    rm -rf "$samples"
    mkdir -p "$samples"
    sample=$samples/load.bin
    head -c 524288 /dev/urandom >"$sample"
    flash=$folder/VirtualHandset.flash

    echo "  a real update"
    handset_settings 1
    start_program || return 1
    walk_to_updating 1 || return 1
    wait_progress_between 20 80 || { fail "the transfer showed no progress"; return 1; }
    shot 7-updating || return 1
    drive wait-page 5 60000 || { fail "the update did not complete"; return 1; }
    shot 8-complete || return 1
    drive press cancel && wait_program_exit || { fail "Finish did not end the program"; return 1; }
    cmp -s "$sample" "$flash" || { fail "the handset's flash does not hold the image"; return 1; }
    echo "  the handset's flash holds exactly the image ($(wc -c <"$sample") bytes)"

    echo "  with the handset disconnected"
    handset_settings 0
    start_program || return 1
    walk_to_updating 0 || return 1
    wait_next_enabled || { fail "no Retry after the failure"; return 1; }
    shot 9-update-failed || return 1
    drive press cancel && wait_program_exit || { fail "Cancel did not end the program"; return 1; }
}

unset DISPLAY
prefix_start || exit 1
trap 'stop_program; prefix_stop; rm -rf "$samples"' EXIT
trap 'exit 130' INT TERM
display=$(cat "$prefix/.display" 2>/dev/null)
[ -n "$display" ] || { echo "the virtual display did not start" >&2; exit 1; }

# Only this run's screenshots, so that what is copied to the docs is one set.
rm -rf "$shots_root"
for pack in $languages; do
    name=$(language_name "$pack") || { echo "unknown language $pack" >&2; exit 2; }
    shots=$shots_root/$name
    rm -rf "$shots"
    mkdir -p "$shots"
    echo "== $name (Language.$pack.dll)"
    if ! walk_language "$pack"; then
        failures="$failures $name"
        stop_program
    fi
done

echo
echo "screenshots: $shots_root/<language>/"
if [ -n "$failures" ]; then
    echo "FAILED:$failures" >&2
    exit 1
fi
echo "all walks passed"
