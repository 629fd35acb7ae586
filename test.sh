#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite.
# Usage: ./test.sh [--qt6] [build-folder [extra cmake arguments...]]
#   --qt6 installs Qt 6 and builds against it, by default in build-qt6.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
qt_option=()
build_dir=build
if [ "${1:-}" = "--qt6" ]; then
    qt_option=(--qt6)
    build_dir=build-qt6
    shift
fi
build_dir="${1:-$build_dir}"
shift || true
# The package test builds and validates the Debian package with these.
"$here/tools/install-packages.sh" dpkg-dev desktop-file-utils appstream
"$here/tools/setup.sh" "${qt_option[@]}" "$build_dir" "$@"
export QT_QPA_PLATFORM=offscreen
cd "$here/$build_dir"
ctest --output-on-failure --parallel 2 --timeout 300
