#!/bin/sh
# Sets up (once) and starts, or stops, the project's private Wine prefix.
# Usage: wine-fixture.sh setup|cleanup PREFIX ARCH
#
# setup: creates the prefix quietly the first time (no first-run dialogs,
# fonts for Latin, Cyrillic and CJK text, no crash dialog, no 2 s wait when
# a window closes), starts a virtual X display when none is given, and keeps
# one wineserver running so that each test starts in milliseconds.
# cleanup: stops that wineserver and the display.
set -u
action=$1 prefix=$2 arch=$3
. "$(dirname "$0")/wine-common.sh"
if ! wine_env "$prefix" "$arch"; then
    echo "skipped: this host cannot run $arch Wine programs" >&2
    exit 77
fi
quiet() { "$@" >/dev/null 2>&1 </dev/null; }

reg_add() { quiet "$WINE" reg add "$@" /f; }

create_prefix() {
    rm -rf "$prefix"
    mkdir -p "$(dirname "$prefix")"
    quiet "$WINE" wineboot -i
    quiet "$WINESERVER" -w
    reg_add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N
    reg_add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
    reg_add 'HKCU\Software\Wine\DllOverrides' /v winemenubuilder.exe /d ""
    # The classic dialog colour the pictures are drawn on.
    reg_add 'HKCU\Control Panel\Colors' /v ButtonFace /d "236 233 216"
    for face in "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma" "Microsoft Sans Serif"; do
        reg_add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
            /v "$face" /t REG_MULTI_SZ /d "wqy-microhei.ttc,WenQuanYi Micro Hei"
    done
    fonts="$prefix/drive_c/windows/Fonts"
    mkdir -p "$fonts"
    cp /usr/share/wine/fonts/* "$fonts/" 2>/dev/null
    cp /usr/share/fonts/truetype/wqy/wqy-microhei.ttc "$fonts/" 2>/dev/null
    quiet "$WINESERVER" -w
    touch "$prefix/.ready"
}

stop_display() {
    if [ -f "$prefix/.xvfb.pid" ]; then
        kill "$(cat "$prefix/.xvfb.pid")" 2>/dev/null
    fi
    rm -f "$prefix/.xvfb.pid" "$prefix/.display"
}

start_display() {
    # A display left by an earlier run that was never cleaned up goes first.
    stop_display
    [ -n "${DISPLAY:-}" ] && return 0
    n=90
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
    echo $! >"$prefix/.xvfb.pid"
    i=0
    while [ ! -e "/tmp/.X11-unix/X$n" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
    echo ":$n" >"$prefix/.display"
    export DISPLAY=":$n"
}

case "$action" in
setup)
    [ -f "$prefix/.ready" ] || create_prefix
    sh "$(dirname "$0")/make-locales.sh" "$(dirname "$prefix")/locales"
    quiet "$WINESERVER" -k
    start_display
    # One persistent server and the desktop process, started with quiet
    # pipes so that no test waits for them to exit.
    quiet "$WINESERVER" -p
    quiet "$WINE" cmd /c exit
    ;;
cleanup)
    quiet "$WINESERVER" -k
    stop_display
    ;;
*)
    echo "usage: $0 setup|cleanup PREFIX ARCH" >&2
    exit 2
    ;;
esac
exit 0
