#!/bin/sh
# Makes the glibc locales that the language tests run under, in a folder of
# the build (LOCPATH), without touching the system. Wine takes the system
# default language from them only when they exist.
# Usage: make-locales.sh DIR
dir=$1
mkdir -p "$dir"
for l in en_US ru_RU zh_CN zh_TW zh_HK zh_SG ja_JP; do
    [ -d "$dir/$l.UTF-8" ] && continue
    localedef -i "$l" -f UTF-8 "$dir/$l.UTF-8" >/dev/null 2>&1 || echo "could not make locale $l" >&2
done
exit 0
