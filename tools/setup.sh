#!/usr/bin/env bash
# Installs the Debian packages Quorvel needs, but only those that are missing,
# then configures and builds into the folder given after the options (default:
# build, or build-qt6 with --qt6). Extra arguments go to cmake's configure step.
# Usage: tools/setup.sh [--qt6] [--target name] [build-folder [cmake arguments...]]
#   --qt6 installs Qt 6 instead of Qt 5 and builds against it (the same as
#         passing -DQUORVEL_QT_VERSION=6, which also installs Qt 6).
#   --target builds only that target (run.sh: the program alone), not all.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
target=()
qt=5
while [ $# -gt 0 ]; do
    case "$1" in
    --target)
        target=(--target "$2")
        shift 2
        ;;
    --qt6)
        qt=6
        shift
        ;;
    *)
        break
        ;;
    esac
done
default_dir=build
if [ "$qt" = 6 ]; then
    default_dir=build-qt6
fi
build_dir="${1:-$default_dir}"
shift || true
cmake_args=("$@")
for argument in "${cmake_args[@]}"; do
    case "$argument" in
    -DQUORVEL_QT_VERSION=6 | -DQUORVEL_QT_VERSION:STRING=6) qt=6 ;;
    esac
done
if [ "$qt" = 6 ]; then
    cmake_args+=(-DQUORVEL_QT_VERSION=6)
fi

# libqcustomplot-dev draws the plot (its headers serve both Qt).
packages=(cmake g++ make zlib1g-dev libqcustomplot-dev)
if [ "$qt" = 6 ]; then
    # qt6-tools-dev brings CMake's Qt6LinguistTools, qt6-l10n-tools lrelease
    # and lupdate; qt6-base-dev brings the OpenGL headers Qt6Gui's CMake
    # files ask for.
    packages+=(qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools
               qt6-l10n-tools qt6-serialport-dev libqcustomplot2.1-qt6)
else
    # qttools5-dev brings CMake's Qt5LinguistTools, qttools5-dev-tools lrelease
    # and lupdate: the build compiles the translations.
    packages+=(qtbase5-dev qtbase5-dev-tools qttools5-dev qttools5-dev-tools
               libqt5serialport5-dev)
fi
# The network tests run a real ser2net. Only for a full build, which has the
# tests: run.sh builds the program alone and brings no network daemon.
if [ ${#target[@]} -eq 0 ]; then
    packages+=(ser2net)
fi
# Chinese captions need a CJK font; take one only if none is present.
if ! fc-list :lang=zh 2>/dev/null | grep -q .; then
    packages+=(fonts-wqy-microhei)
fi
"$here/tools/install-packages.sh" "${packages[@]}"

jobs="$(nproc 2>/dev/null || echo 2)"
cmake -S "$here" -B "$here/$build_dir" "${cmake_args[@]}" >/dev/null
cmake --build "$here/$build_dir" --parallel "$jobs" "${target[@]}"
