#!/usr/bin/env bash
# Brings the English translation's source, res/translations/quillhorn_en.ts, up
# to date with the program's texts: Qt's lupdate (Debian: qt6-l10n-tools) reads
# every tr(), QT_TR_NOOP() and QCoreApplication::translate() under src/, adds the
# texts that are new as unfinished, keeps the translations of those that stay and
# drops those of texts that are gone. Then give every unfinished text its
# English (edit the file, or open it in Qt Linguist) and remove its
# type="unfinished"; the build compiles the file with lrelease.
#
# usage: tools/update-translations.sh [TS_FILE]
# TS_FILE (default res/translations/quillhorn_en.ts) is updated in place; the
# test Translations.EveryTextOfTheSourcesHasItsEnglish updates a copy and lists
# the texts that still lack their English.
set -euo pipefail
ts=$(realpath "${1:-$(dirname "$0")/../res/translations/quillhorn_en.ts}")
cd "$(dirname "$0")/.."

lupdate=$(command -v lupdate || true)
[ -n "$lupdate" ] || lupdate=/usr/lib/qt6/bin/lupdate
[ -x "$lupdate" ] || { echo "update-translations.sh: lupdate not found (install qt6-l10n-tools)" >&2; exit 1; }

# No source locations: they would change with every edit of a source file.
"$lupdate" -silent -source-language zh_CN -target-language en -locations none -no-obsolete \
    src -ts "$ts"
unfinished=$(grep -c 'type="unfinished"' "$ts" || true)
echo "$ts: $unfinished text(s) without their English"
