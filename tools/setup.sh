#!/usr/bin/env bash
# Installs the Debian packages Quorvel needs, but only those that are missing,
# then configures and builds into the folder given as $1 (default: build).
# Extra arguments are passed to cmake's configure step.
# Usage: tools/setup.sh [--target name] [build-folder [cmake arguments...]]
#   --target builds only that target (run.sh: the program alone), not all.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
target=()
if [ "${1:-}" = "--target" ]; then
    target=(--target "$2")
    shift 2
fi
build_dir="${1:-build}"
shift || true

# qttools5-dev brings CMake's Qt5LinguistTools, qttools5-dev-tools lrelease
# and lupdate: the build compiles the translations. libqcustomplot-dev draws
# the plot.
packages=(cmake g++ make qtbase5-dev qtbase5-dev-tools qttools5-dev qttools5-dev-tools
          libqt5serialport5-dev libqcustomplot-dev zlib1g-dev)
# Chinese captions need a CJK font; take one only if none is present.
if ! fc-list :lang=zh 2>/dev/null | grep -q .; then
    packages+=(fonts-wqy-microhei)
fi
"$here/tools/install-packages.sh" "${packages[@]}"

jobs="$(nproc 2>/dev/null || echo 2)"
cmake -S "$here" -B "$here/$build_dir" "$@" >/dev/null
cmake --build "$here/$build_dir" --parallel "$jobs" "${target[@]}"
