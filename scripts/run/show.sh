#!/bin/sh
# Opens the wizard on the display in $DISPLAY and waits until it is closed.
# Usage: show.sh BUILD PRESET
set -u
build=$1 preset=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/scripts/run/common.sh"

prefix_start || exit 1
trap prefix_stop EXIT
trap 'exit 130' INT TERM
folder=$build/run/show
make_run_folder "$folder" "" || exit 1
echo "== the wizard runs from $folder (the virtual handset's flash: $folder/VirtualHandset.flash)"
wine_run "$folder/KALDREN_R530_Updater.exe"
