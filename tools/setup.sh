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

packages=(cmake g++ make qtbase5-dev qtbase5-dev-tools libqt5serialport5-dev zlib1g-dev)
missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
# Chinese captions need a CJK font; take one only if none is present.
if ! fc-list :lang=zh 2>/dev/null | grep -q .; then
    missing+=(fonts-wqy-microhei)
fi

if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing missing packages: ${missing[*]}"
    sudo_cmd=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo_cmd=(sudo)
    fi
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

jobs="$(nproc 2>/dev/null || echo 2)"
cmake -S "$here" -B "$here/$build_dir" "$@" >/dev/null
cmake --build "$here/$build_dir" --parallel "$jobs" "${target[@]}"
