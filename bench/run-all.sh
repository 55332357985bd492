#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the program and the benchmarks, runs every benchmark once and prints
# their output followed by one results table. The whole-program runs
# (oneshot.sh, idle.sh, deliveries.sh) need root for their private network
# namespace; without root they are left out and the table says so.
#
# Usage: bench/run-all.sh        (about five minutes on two cores)
# PELLWICK_BUILD=DIR picks the build folder (default: <repo>/build).
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
REPO=$(dirname "$HERE")
BUILD=${PELLWICK_BUILD:-$REPO/build}
export PELLWICK_BUILD=$BUILD

cmake -S "$REPO" -B "$BUILD" -G Ninja -DPELLWICK_WERROR=ON -DPELLWICK_BUILD_BENCH=ON >/dev/null
cmake --build "$BUILD" --parallel "$(nproc)" --target pellwick tick_bench window_tick_bench settings_bench \
    debug_log_bench message_load_bench delivery_driver minimal_tray

OUT=$(mktemp -d /tmp/pellwick-run-all.XXXXXX)
trap 'rm -rf "$OUT"' EXIT
export XDG_RUNTIME_DIR=$OUT/runtime
mkdir -m 0700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=offscreen
export PELLWICK_BENCH_RESULTS=$OUT/results
: >"$PELLWICK_BENCH_RESULTS"

for bench in tick_bench window_tick_bench settings_bench debug_log_bench message_load_bench; do
    echo "## $bench"
    "$BUILD/bench/$bench" --benchmark_out="$OUT/$bench.json" --benchmark_out_format=json \
        2>"$OUT/$bench.err" || { cat "$OUT/$bench.err" >&2; exit 1; }
    echo
done

if [ "$(id -u)" -eq 0 ]; then
    echo "## One-shot runs"
    "$HERE/oneshot.sh"
    echo
    echo "## Idle over 60 s"
    "$HERE/idle.sh"
    echo
    echo "## 10,000 deliveries"
    "$HERE/deliveries.sh"
    echo
    echo "## The router's public address moves"
    "$HERE/public_address_move.py"
    "$HERE/public_address_move.py" 20 upnp
    echo
    echo "## A log-in run that mails the public address, against swaks"
    "$HERE/public_address_oneshot.py"
    echo
else
    echo "Not root: the one-shot, idle and delivery runs are left out." >&2
fi

echo "## Results ($(nproc) cores, $(date -u +%Y-%m-%d))"
echo
/usr/bin/python3 "$HERE/results_table.py" "$OUT"
