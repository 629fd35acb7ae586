#!/usr/bin/env bash
# Quorvel's own receive and rotation bench: a Release build, the real window
# on the offscreen platform (no X needed), the device played through a pty.
# Prints one JSON line per figure as it is measured, then a table.
#
# Usage: bench/run.sh            (about a minute)
# Environment: BUILD (build folder, build-bench), DRAIN_MIB (2), GROWTH_MIB (16),
#              PACED_SECONDS (10), ANSWER_LINES (1000), ROTATION_SECONDS (10),
#              PLOT_SECONDS (10), PLOT_ROUNDS (2: closed and open, in turn).
# CPU figures are the GUI thread's own CPU time; wall-clock figures move with
# whatever else the machine runs, so the load is printed with the table.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$here/${BUILD:-build-bench}"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DQUORVEL_BUILD_TESTS=ON >/dev/null
cmake --build "$build" --target bench_display bench_counters --parallel 2 >/dev/null

export QT_QPA_PLATFORM=offscreen
results="$(mktemp)"
trap 'rm -f "$results"' EXIT
figure() {
    "$build/bench/bench_display" "$@" 2> >(grep -v propagateSizeHints >&2) | tee -a "$results"
}
load_before="$(cut -d' ' -f1-3 /proc/loadavg)"
# rfc2217, socket: the hex flood through a real ser2net, beside the pty's own.
for view in hex text frames stamps capture rfc2217 socket; do
    figure drain "$view" "${DRAIN_MIB:-2}"
done
for view in continuous frames; do
    figure growth "$view" "${GROWTH_MIB:-16}"
done
for view in hex text; do
    figure paced "$view" "${PACED_SECONDS:-10}"
done
figure answer "${ANSWER_LINES:-1000}"
figure rotation "${ROTATION_SECONDS:-10}"
"$build/bench/bench_counters" 3 2> >(grep -v propagateSizeHints >&2) | tee -a "$results"
# The plot's cost: closed and open in turn, so a change in the machine's load
# falls on both.
for _ in $(seq "${PLOT_ROUNDS:-2}"); do
    for state in closed open; do
        figure plot "$state" "${PLOT_SECONDS:-10}"
    done
done

python3 - "$results" "$load_before" "$(cut -d' ' -f1-3 /proc/loadavg)" <<'EOF'
import json, os, platform, sys
rows = [json.loads(line) for line in open(sys.argv[1]) if line.startswith("{")]
cpu = next((l.split(":", 1)[1].strip() for l in open("/proc/cpuinfo") if l.startswith("model name")), "?")
print(f"\nMachine: {cpu}, {os.cpu_count()} cores, {platform.system()} {platform.release()}; "
      f"load average before {sys.argv[2]}, after {sys.argv[3]}")
print(f"\n| figure | view | result | GUI-thread CPU | longest stall |")
print(f"|---|---|---|---|---|")
for r in rows:
    f, stall = r["figure"], f'{r["stall_ms"]:.0f} ms'
    if f == "drain":
        print(f'| drain {r["bytes"] >> 20} MiB | {r["view"]} | {r["mb_per_s"]:.2f} MB/s ({r["seconds"]:.2f} s) '
              f'| {r["cpu_s"]:.2f} s ({r["mb_per_cpu_s"]:.1f} MB per CPU-s) | {stall} |')
    elif f == "growth":
        cpu_s = r["cpu_s_per_mib"]
        print(f'| "自动清" off, {r["mib"]} MiB | hex {r["view"]} | s per MiB (wall) first {r["s_per_mib"][0]:.2f}, '
              f'last {r["s_per_mib"][-1]:.2f}, max {max(r["s_per_mib"]):.2f}; RSS {r["rss_mib"]:.0f} MiB '
              f'| per MiB first {cpu_s[0]:.2f} s, last {cpu_s[-1]:.2f} s: last/first {r["last_to_first_cpu"]:.2f} | {stall} |')
    elif f == "paced":
        print(f'| 921600-baud rate, {r["seconds"]:.0f} s | {r["view"]} | all shown: {r["shown"]}; arrival to '
              f'shown p99 {r["shown_p99_ms"]:.0f} ms, max {r["shown_max_ms"]:.0f} ms ({r["paints"]} paints) '
              f'| {r["cpu_pct"]:.1f} % of a core | {stall} |')
    elif f == "answer":
        print(f'| answer-wait turnaround, {r["lines"]} lines | text | median {r["median_ms"]:.2f} ms, '
              f'p99 {r["p99_ms"]:.2f} ms, max {r["max_ms"]:.2f} ms | | {stall} |')
    elif f == "rotation":
        print(f'| area rotation {r["period_ms"]} ms | hex | mean {r["mean_ms"]:.1f} ms, largest deviation '
              f'{r["max_deviation_ms"]:.1f} ms ({r["sends"]} sends) | | {stall} |')
    elif f == "plot":
        kept = f'{r["samples"]} of {r["lines"]} lines kept, {r["draws"]} drawings' if r["plot"] == "open" else f'{r["lines"]} lines'
        print(f'| plot {r["plot"]}, 921600-baud rate of "123,456,789", {r["seconds"]:.0f} s | text | {kept} '
              f'| {r["cpu_pct"]:.1f} % of a core | {stall} |')
plots = {state: [r for r in rows if r["figure"] == "plot" and r["plot"] == state] for state in ("open", "closed")}
if plots["open"] and plots["closed"]:
    mean = lambda runs: sum(r["cpu_pct"] for r in runs) / len(runs)
    cost = mean(plots["open"]) - mean(plots["closed"])
    stall = max(r["stall_ms"] for r in plots["open"])
    kept = all(r["all_kept"] for r in plots["open"])
    print(f'\nThe open plot costs {cost:+.1f} percentage points of a core (goal: at most 3), '
          f'longest stall {stall:.0f} ms (goal: at most 50), every sample kept: {kept}.')
EOF
