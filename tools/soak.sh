#!/usr/bin/env bash
# Soak test: the window fed at the 921600-baud pace (92,160 B/s) for the
# given minutes (default 10) with capture, a periodic send and an area
# rotation running; prints peak memory at the start and the end and whether
# the capture file holds every byte. Add --no-auto-clear to see how far the
# receive pane grows with "自动清" off, --frame-newline for one line per chunk.
# Usage: tools/soak.sh [minutes] [--no-auto-clear] [--frame-newline]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
minutes="${1:-10}"
shift || true
# The driver uses the test support, so the tests are switched on.
"$here/tools/setup.sh" --target soak_driver build -DQUORVEL_BUILD_TESTS=ON >/dev/null
QT_QPA_PLATFORM=offscreen exec "$here/build/bench/soak_driver" "$minutes" "$@"
