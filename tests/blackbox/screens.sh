#!/bin/sh
# Screenshots of the Updating page (during a transfer and after a failure)
# and of the completion page, per language, as a person would take them.
# Usage: screens.sh BUILD_DIR OUT_DIR [PACK[@LOCALE]...]
#   e.g. 0409 0804@zh_CN 0C04@zh_HK 0419@ru_RU (default: all four packs)
# Needs the build's black-box targets and its Wine prefix (run the wine.setup
# test once); uses that fixture's display.
set -eu
build=$(cd "$1" && pwd)
out=$2
shift 2
packs=${*:-0409 0804 0C04 0419}
src=$(cd "$(dirname "$0")/../.." && pwd)
prefix=$build/wineprefix
arch=win64
bb=$build/tests/blackbox
run() { sh "$src/cmake/wine-run.sh" "$prefix" $arch "$@"; }
drive() { run "$bb/wizdriver.exe" "$@"; }
sh "$src/cmake/wine-fixture.sh" setup "$prefix" $arch
# Stops this run's server and display again, however the run ends.
trap 'sh "$src/cmake/wine-fixture.sh" cleanup "$prefix" $arch' EXIT
DISPLAY=${DISPLAY:-$(cat "$prefix/.display")}
export DISPLAY
mkdir -p "$out"

shoot() { # name
    rect=$(drive state | sed -n 's/^  rect //p')
    set -- $rect
    import -window root -crop "$(($3 - $1))x$(($4 - $2))+$1+$2" +repage "$out/$shot.png"
}

# Wine rewrites the font links of its own faces whenever the code page
# changes (a run under another locale), dropping the CJK font from Tahoma,
# which the dialog font stands for: put it back once the code page is set.
link_cjk_font() {
    run "$bb/wizdriver.exe" state >/dev/null 2>&1 || true
    for face in "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma" "Microsoft Sans Serif"; do
        run reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
            /v "$face" /t REG_MULTI_SZ /d "wqy-microhei.ttc,WenQuanYi Micro Hei" /f >/dev/null 2>&1
    done
}

for item in $packs; do
    pack=${item%@*}
    locale=
    [ "$item" != "$pack" ] && locale=${item#*@}
    if [ -n "$locale" ]; then
        export LOCPATH="$build/locales" LANG="$locale.UTF-8" LC_ALL="$locale.UTF-8"
    else
        unset LOCPATH LANG LC_ALL || true
    fi
    link_cjk_font
    for scene in transfer failure complete; do
        dir=$bb/runs/screens-$pack-$scene
        rm -rf "$dir"
        mkdir -p "$dir/images"
        cp "$bb"/stage/* "$dir/"
        printf '[Config]\r\nLanguage=Language.%s.dll\r\n' "$pack" >"$dir/Config.ini"
        echo image >"$dir/images/load.bin"
        case $scene in
        transfer) printf 'progress=0,10,20,30,40\nstep_ms=20\nhold=1\n' ;;
        failure) printf 'results=0\nprogress=10,20,30,40,50,60\nstep_ms=20\n' ;;
        complete) printf 'results=1\nstep_ms=10\n' ;;
        esac >"$dir/script.txt"
        winpath=$(printf 'Z:%s' "$dir" | tr / '\\')
        (cd "$dir" && EBOOT_DOUBLE_LOG="$winpath\\log.txt" EBOOT_DOUBLE_SCRIPT="$winpath\\script.txt" \
            run "$dir/KALDREN_R530_Updater.exe" >/dev/null 2>&1) &
        app=$!
        trap 'kill $app 2>/dev/null || true; sh "$src/cmake/wine-fixture.sh" cleanup "$prefix" $arch' EXIT
        drive wait-wizard 20000
        drive press next && drive wait-page 1
        drive press next && drive wait-page 2
        drive click 1004
        drive filedialog choose "$winpath\\images\\load.bin"
        sleep 0.5
        drive press next && drive wait-page 3
        sleep 0.5
        drive press next
        case $scene in
        complete) drive wait-page 5 ;; # a quick success moves on by itself
        *) drive wait-page 4 ;;
        esac
        sleep 1.5
        shot=wizard-$pack-$scene
        shoot
        drive press cancel || true
        wait $app || true
    done
done
