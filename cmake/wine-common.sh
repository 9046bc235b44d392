# Shared by wine-run.sh and wine-fixture.sh: picks the Wine loader for an
# architecture and sets the environment of the project's private prefix.
# Usage (sourced): wine_env PREFIX ARCH   -> sets WINE, WINESERVER; returns 1
# when this host cannot run that architecture.

wine_env() {
    export WINEPREFIX="$1" WINEARCH="$2"
    export WINEDEBUG="${UPDATER_WINEDEBUG:--all}"
    export WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d"
    case "$2" in
        win64) WINE=/usr/lib/wine/wine64; WINESERVER=/usr/lib/wine/wineserver64 ;;
        *)     WINE=/usr/lib/wine/wine;   WINESERVER=/usr/lib/wine/wineserver32 ;;
    esac
    [ -x "$WINESERVER" ] || WINESERVER=/usr/lib/wine/wineserver
    export WINESERVER WINELOADER="$WINE"
    # 32-bit Wine needs the kernel's 32-bit emulation, which some hosts lack.
    "$WINE" --version >/dev/null 2>&1
}

# The display the fixture started, unless the caller brought its own.
wine_display() {
    if [ -z "${DISPLAY:-}" ] && [ -f "$1/.display" ]; then
        DISPLAY=$(cat "$1/.display")
        export DISPLAY
    fi
}
