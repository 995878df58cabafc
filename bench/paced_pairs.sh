#!/usr/bin/env bash
# The paced figure with its floor beside it: runs bench/replay.sh in paced mode (200 lines a
# second on Xvfb) for the program and for bench_bare_reader at the same time, each under its own
# Xvfb, so both see the same load on the machine. Prints each pair and then the medians of the
# program, the bare reader and the difference, in ms of CPU per 1,000 lines.
# Usage: bench/paced_pairs.sh [PAIRS] [LINES]      (defaults: 5 pairs of 6000 lines)
# VELMORA and BARE_READER pick other builds (default: build/src/velmora, build/bench/...).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
pairs=${1:-5}
lines=${2:-6000}
program="${VELMORA:-$top/build/src/velmora}"
bare="${BARE_READER:-$top/build/bench/bench_bare_reader}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# cpu_ms_per_1k_units, aux_cpu_s and lag_median_s of the replay server's result line.
figures() {
    python3 -c 'import json, sys
d = json.loads(sys.stdin.read().strip().splitlines()[-1])
print(d["cpu_ms_per_1k_units"], d["aux_cpu_s"], d["lag_median_s"])'
}

echo "pair  program ms/1k (X s, lag s)  bare reader ms/1k"
for pair in $(seq "$pairs"); do
    VELMORA=$program "$top/bench/replay.sh" flood "$lines" --rate 200 2>/dev/null |
        figures >"$work/program" &
    VELMORA=$bare "$top/bench/replay.sh" flood "$lines" --rate 200 2>/dev/null |
        figures >"$work/bare" &
    wait
    read -r cpu aux lag <"$work/program"
    read -r bare_cpu _ _ <"$work/bare"
    echo "$pair     $cpu ($aux, $lag)        $bare_cpu"
    echo "$cpu $bare_cpu" >>"$work/all"
done

python3 - "$work/all" <<'EOF'
import statistics, sys
rows = [tuple(map(float, line.split())) for line in open(sys.argv[1])]
def show(name, values):
    print(f"{name}: median {statistics.median(values):.0f} ({min(values):.0f}-{max(values):.0f})")
show("program", [p for p, _ in rows])
show("bare reader", [b for _, b in rows])
show("program above the bare reader", [p - b for p, b in rows])
EOF
