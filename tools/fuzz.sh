#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer, then runs each for the given seconds (default
# 60), starting from its seed corpus in tests/fuzz/corpus/<target>.
# Any finding fails the run; its input is left in build-fuzz/artifacts
# (build-fuzz-qt6/artifacts with --qt6, which builds against Qt 6).
# Usage: tools/fuzz.sh [--qt6] [seconds]
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
qt=5
if [ "${1:-}" = "--qt6" ]; then
    qt=6
    shift
fi
seconds="${1:-60}"
if [ "$qt" = 6 ]; then
    out="$here/build-fuzz-qt6"
    qt_package=qt6-base-dev
else
    out="$here/build-fuzz"
    qt_package=qtbase5-dev
fi

"$here/tools/install-packages.sh" clang-14 libclang-rt-14-dev pkg-config "$qt_package"

cxx=clang++-14
flags=(-std=c++17 -g -O1 -fPIC -Wall -Wextra
       -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
       -I"$here/send" -I"$here/display" -I"$here/checksum" -I"$here/plot" -I"$here/net"
       -I"$here/tests/fuzz")
read -r -a qt_flags <<< "$(pkg-config --cflags --libs "Qt${qt}Core")"

# Each target with the few application sources it needs.
declare -A sources=(
    [hexparser]="send/hexparser.cpp"
    [checksum]="checksum/checksum.cpp"
    [hexform]="display/trafficformat.cpp send/hexparser.cpp"
    [textform]="display/trafficformat.cpp"
    [sendfileline]="send/sendfileline.cpp display/trafficformat.cpp"
    [plotline]="plot/plotline.cpp"
    [rfc2217]="net/rfc2217codec.cpp"
)
targets=(hexparser checksum hexform textform sendfileline plotline rfc2217)

mkdir -p "$out/artifacts"
for target in "${targets[@]}"; do
    app_sources=()
    for source in ${sources[$target]}; do
        app_sources+=("$here/$source")
    done
    echo "Building fuzz_$target"
    "$cxx" "${flags[@]}" "$here/tests/fuzz/fuzz_$target.cpp" "${app_sources[@]}" \
        "${qt_flags[@]}" -o "$out/fuzz_$target"
done

status=0
for target in "${targets[@]}"; do
    echo "Fuzzing $target for ${seconds} s"
    # New inputs go to the first folder (a scratch copy); the seeds stay as they are.
    mkdir -p "$out/corpus/$target"
    if ! "$out/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -max_len=4096 -print_final_stats=1 -artifact_prefix="$out/artifacts/$target-" \
        "$out/corpus/$target" "$here/tests/fuzz/corpus/$target" \
        > "$out/$target.log" 2>&1; then
        echo "FINDING in $target (see $out/$target.log):"
        grep -E 'ERROR|violated|SUMMARY|parsed|stream|split|whole|line|hex form|for input|Test unit written' \
            "$out/$target.log" | head -20 || true
        status=1
    else
        grep -E 'stat::number_of_executed_units' "$out/$target.log" || true
    fi
done
exit "$status"
