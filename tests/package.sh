#!/usr/bin/env bash
# Builds the Debian package from a built tree into a temporary folder and
# checks what it holds: exactly the program (its translations compiled in)
# and its desktop files, library dependencies found by dpkg-shlibdeps (on the
# Qt it was built with, and no other) plus a CJK font, one version
# everywhere, and a desktop entry and AppStream metadata that validate.
# Usage: tests/package.sh <cpack> <build-folder> <project-version> [<qt-major-version>]
# Exits 77 (skipped) where the Debian tools are missing.
# cpack brings the whole tree up to date before installing (its preinstall
# step), so run it on a built tree, as test.sh does, or it rebuilds the very
# tests that CTest runs beside it.
set -euo pipefail
cpack="$1"
build_dir="$2"
version="$3"
qt="${4:-5}"
app_id=io.github.quorvel.quorvel

for tool in "$cpack" dpkg-deb dpkg-shlibdeps; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

if ! "$cpack" -G DEB --config "$build_dir/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    echo "FAIL: cpack could not build the package"
    exit 1
fi
debs=("$work"/out/*.deb)
if [ "${#debs[@]}" -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    ls -l "$work/out"
    echo "FAIL: expected exactly one .deb"
    exit 1
fi
deb="${debs[0]}"
echo "built $(basename "$deb")"

# The regular files, and nothing else: no tests, benchmarks or tools.
expected="./usr/bin/quorvel
./usr/share/applications/$app_id.desktop
./usr/share/doc/quorvel/changelog.gz
./usr/share/doc/quorvel/copyright
./usr/share/man/man1/quorvel.1.gz
./usr/share/metainfo/$app_id.metainfo.xml"
for size in 32 48 64 128 256; do
    expected+=$'\n'"./usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
done
dpkg-deb -c "$deb" >"$work/contents"
actual="$(awk '$1 ~ /^-/ { print $6 }' "$work/contents" | sort)"
expected="$(sort <<<"$expected")"
if [ "$actual" != "$expected" ]; then
    fail "file list differs (- expected, + packaged):"
    diff <(echo "$expected") <(echo "$actual") || true
fi
if awk '{ print $6 }' "$work/contents" | grep -v '^\./usr/' >/dev/null; then
    fail "entries outside /usr:"
    awk '{ print $6 }' "$work/contents" | grep -v '^\./usr/'
fi
if ! grep -q '^-rwxr-xr-x .* \./usr/bin/quorvel$' "$work/contents"; then
    fail "usr/bin/quorvel is not an executable file"
fi

# Qt libraries with the version bounds only dpkg-shlibdeps adds, and the font.
depends="$(dpkg-deb -f "$deb" Depends)"
echo "Depends: $depends"
# Debian gave some of them a t64 suffix (trixie): either name will do.
if [ "$qt" = 6 ]; then
    libraries=(libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6 'libqcustomplot[0-9.]*-qt6')
    recommends=qt6-wayland
else
    libraries=(libqt5core5 libqt5gui5 libqt5widgets5 libqt5serialport5 'libqcustomplot[0-9.]*')
    recommends=""
fi
for library in "${libraries[@]}"; do
    grep -Eq "(^|, )$library(a|t64)? \(>= [0-9][^)]*\)" <<<"$depends" \
        || fail "Depends lacks $library (>= ...)"
done
other="$(grep -Eo "libqt[0-9]+[a-z]*" <<<"$depends" | grep -v "^libqt$qt" || true)"
[ -z "$other" ] || fail "Depends names another Qt than Qt $qt: $other"
[ "$(dpkg-deb -f "$deb" Recommends)" = "$recommends" ] \
    || fail "Recommends is '$(dpkg-deb -f "$deb" Recommends)', not '$recommends'"
grep -Fq 'fonts-wqy-microhei | fonts-noto-cjk' <<<"$depends" || fail "Depends lacks a CJK font"
for field in Maintainer Section Description; do
    [ -n "$(dpkg-deb -f "$deb" "$field")" ] || fail "no $field"
done
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version is not $version"

root="$work/root"
dpkg-deb -x "$deb" "$root"
desktop="$root/usr/share/applications/$app_id.desktop"
metainfo="$root/usr/share/metainfo/$app_id.metainfo.xml"
if [ -f "$metainfo" ]; then
    grep -q "<release version=\"$version\"" "$metainfo" || fail "metainfo's release is not $version"
fi
if [ -f "$desktop" ]; then
    grep -qx "Exec=quorvel" "$desktop" || fail "desktop entry does not start bin/quorvel"
    grep -qx "Icon=$app_id" "$desktop" || fail "desktop entry's icon is not $app_id"
fi

# The translations are compiled into the program: the packaged one speaks both.
program="$root/usr/bin/quorvel"
if [ -x "$program" ]; then
    english="$(XDG_CONFIG_HOME="$work/config" "$program" --lang en --help 2>&1 || true)"
    chinese="$(XDG_CONFIG_HOME="$work/config" "$program" --lang zh --help 2>&1 || true)"
    grep -q 'Select this port' <<<"$english" || fail "packaged program has no English help: $english"
    grep -q '选择此端口' <<<"$chinese" || fail "packaged program has no Chinese help: $chinese"
fi

# The validators are optional; their output must be empty or all clear.
if command -v desktop-file-validate >/dev/null; then
    if ! output="$(desktop-file-validate "$desktop" 2>&1)" || [ -n "$output" ]; then
        fail "desktop-file-validate: $output"
    fi
else
    echo "note: desktop-file-validate not installed, desktop entry not validated"
fi
if command -v appstreamcli >/dev/null; then
    if ! output="$(appstreamcli validate --no-net --pedantic --no-color "$metainfo" 2>&1)" \
        || grep -Eq '^[EWIP]: ' <<<"$output"; then
        fail "appstreamcli validate: $output"
    fi
else
    echo "note: appstreamcli not installed, metainfo not validated"
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "package checks passed"
