#!/usr/bin/env bash
# Installs what is missing, builds the program (not the tests), and starts it.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$here/tools/setup.sh" --target quorvel build -DCMAKE_BUILD_TYPE=RelWithDebInfo

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "Quorvel is built (build/quorvel), but there is no display to show its window." >&2
    echo "Run it from a desktop session, or under a virtual display:" >&2
    echo "    xvfb-run ./run.sh        (Debian package: xvfb)" >&2
    exit 1
fi
# Qt warns when the session has no runtime folder; give it a private one.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    export XDG_RUNTIME_DIR="/tmp/runtime-$(id -u)"
    mkdir -p "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
fi
exec "$here/build/quorvel" "$@"
