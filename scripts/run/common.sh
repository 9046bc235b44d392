# Shared by show.sh and walk.sh (sourced): the run's own Wine prefix and the
# copies of bin/ the wizard runs from.
# Needs: root (the repository), build (the build folder), preset.

case "$preset" in
win64) arch=win64 ;;
*) arch=win32 ;;
esac
prefix=$build/run-prefix
fixture="$root/cmake/wine-fixture.sh"

# Sets the prefix up the way the tests' is (fonts, no crash dialog, ...) and
# starts its server, and a virtual display when DISPLAY is unset.
prefix_start() {
    echo "== Wine prefix $prefix"
    # What an interrupted earlier run may have left: its server and display.
    [ -f "$prefix/.ready" ] && prefix_stop >/dev/null 2>&1
    sh "$fixture" setup "$prefix" "$arch" || {
        echo "could not set up the Wine prefix" >&2
        return 1
    }
}

prefix_stop() {
    sh "$fixture" cleanup "$prefix" "$arch"
}

wine_run() {
    sh "$root/cmake/wine-run.sh" "$prefix" "$arch" "$@"
}

# A fresh copy of bin/ in folder, with Config.ini naming pack (none if empty).
make_run_folder() {
    folder=$1 pack=$2
    rm -rf "$folder"
    mkdir -p "$folder"
    cp "$build"/bin/*.exe "$build"/bin/*.dll "$folder/" || return 1
    if [ -n "$pack" ]; then
        printf '[Config]\r\nLanguage=Language.%s.dll\r\n' "$pack" >"$folder/Config.ini"
    fi
}

# The Windows form of a Linux path: Wine maps / to drive Z:.
windows_path() {
    printf 'Z:%s' "$1" | tr / '\\'
}
