#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite.
# Usage: ./test.sh [build-folder [extra cmake arguments...]]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build_dir="${1:-build}"
shift || true
# The package test builds and validates the Debian package with these; the
# network tests run a real ser2net. Not in setup.sh: run.sh should not bring
# a network daemon that Debian enables at installation.
"$here/tools/install-packages.sh" dpkg-dev desktop-file-utils appstream ser2net
"$here/tools/setup.sh" "$build_dir" "$@"
export QT_QPA_PLATFORM=offscreen
cd "$here/$build_dir"
ctest --output-on-failure --parallel 2 --timeout 300
