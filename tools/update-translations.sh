#!/usr/bin/env bash
# Brings the translation files in resources/translations/ up to date with the
# texts in the sources: new texts are added (unfinished, for a translator to
# fill in with Qt Linguist or an editor), texts no longer in the sources are
# dropped. The build compiles the .ts files; it never rewrites them.
# Usage: tools/update-translations.sh           update the .ts files in place
#        tools/update-translations.sh --check   change nothing; fail when a
#            .ts file is out of date or holds an unfinished translation
# LUPDATE names the lupdate to use (the test passes its build's); else the
# first found of Qt 5's and Qt 6's. Both write the same files.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
check=0
if [ "${1:-}" = "--check" ]; then
    check=1
fi

lupdate=""
for candidate in "${LUPDATE:-}" /usr/lib/qt5/bin/lupdate "$(command -v lupdate-qt5 || true)" \
    /usr/lib/qt6/bin/lupdate "$(command -v lupdate || true)"; do
    if [ -n "$candidate" ] && [ -x "$candidate" ]; then
        lupdate="$candidate"
        break
    fi
done
if [ -z "$lupdate" ]; then
    echo "lupdate not found: install qttools5-dev-tools (Qt 5) or qt6-l10n-tools (Qt 6)" >&2
    exit 77
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
cd "$here"
# One file per language the interface is translated into.
for language in en; do
    ts="resources/translations/quorvel_$language.ts"
    target="$ts"
    if [ "$check" = 1 ]; then
        target="$work/$(basename "$ts")"
        if [ -f "$ts" ]; then
            cp "$ts" "$target"
        fi
    fi
    # No line numbers: an edit elsewhere in a file must not touch the .ts.
    "$lupdate" -silent -no-obsolete -locations none -extensions cpp,h \
        -source-language zh_CN -target-language "$language" app serial display send checksum plot net -ts "$target"
    if [ "$check" = 1 ]; then
        if ! cmp -s "$ts" "$target"; then
            echo "FAIL: $ts is not up to date with the sources (run tools/update-translations.sh):"
            diff -u "$ts" "$target" | head -60 || true
            failures=$((failures + 1))
        fi
        unfinished="$(grep -c 'type="unfinished"' "$target" || true)"
        if [ "$unfinished" != 0 ]; then
            echo "FAIL: $ts has $unfinished unfinished translations:"
            grep -B3 'type="unfinished"' "$target" | grep '<source>' | head -40
            failures=$((failures + 1))
        fi
    fi
done
[ "$failures" -eq 0 ]
