#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The running program left alone with its window hidden (StartMinimized=1),
# offscreen, in a private network namespace: resident memory (VmRSS) every 5 s
# and CPU time over the whole span. Its timer ticks every 5 s the whole time;
# nothing else happens. Beside it, over the same span, a minimal Qt 6 tray
# program (bench/minimal_tray) as the yardstick.
#
# An idle wake costs a few hundred microseconds, and on a shared machine a
# single process's figure moves by 30 % between runs; so COPIES copies of each
# program (default 4, each with its own settings and runtime folder) idle side
# by side and the figures are their means.
#
# Usage (as root): bench/idle.sh [SECONDS]   (default 60; COPIES=N in the environment)
# Prints a Markdown table; with PELLWICK_BENCH_RESULTS=FILE also appends
# "key<TAB>value" lines to FILE for run-all.sh.
set -euo pipefail
# shellcheck source=bench/loopback_netns.sh
source "$(dirname "$0")/loopback_netns.sh"
pw_enter_netns "$@"

SPAN=${1:-60}
STEP=5
[ -x "$PW_PELLWICK" ] || pw_die "no program at $PW_PELLWICK (build it first)"
pw_work_folder
pw_start_sink

COPIES=${COPIES:-4}
[ -x "$PW_BUILD/bench/minimal_tray" ] || pw_die "build the target minimal_tray first"
PIDS=() PEERS=()
for ((i = 1; i <= COPIES; i++)); do
    # One instance per user: every copy gets its own runtime folder.
    runtime=$PW_WORK/runtime.$i
    mkdir -m 0700 "$runtime"
    pw_write_hive "$PW_WORK/config.$i" StartMinimized=1 SMTPServer=text:127.0.0.1
    XDG_RUNTIME_DIR=$runtime QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=$PW_WORK/config.$i \
        "$PW_PELLWICK" 2>"$PW_WORK/pellwick.$i.err" &
    PIDS+=($!)
    XDG_RUNTIME_DIR=$runtime QT_QPA_PLATFORM=offscreen "$PW_BUILD/bench/minimal_tray" 2>/dev/null &
    PEERS+=($!)
done
PID=${PIDS[0]}

# Measure from the end of start-up, once every window has loaded its settings
# (the autostart entry is written then).
for ((i = 1; i <= COPIES; i++)); do
    for _ in $(seq 100); do
        [ -e "$PW_WORK/config.$i/autostart/pellwick.desktop" ] && break
        sleep 0.1
    done
done
sleep 1
for pid in "${PIDS[@]}"; do
    kill -0 "$pid" 2>/dev/null || pw_die "the program ended by itself"
done

# Run time of every thread in nanoseconds (the first field of schedstat), one
# "thread nanoseconds" line each: the clock-tick figures of stat are too coarse
# for a program that idles.
thread_ns() {
    local task
    for task in "/proc/${1:-$PID}"/task/*; do
        echo "${task##*/} $(cut -d' ' -f1 "$task/schedstat" 2>/dev/null || echo 0)"
    done
}

# Run time over the span from two thread_ns lists: each thread counts from its
# own start-of-span figure (0 for a thread started since). A thread that ended
# within the span takes only its short last moments with it; summing both lists
# instead would take away all the work it did before the span.
span_ns() {
    awk 'NR == FNR { before[$1] = $2; next } { sum += $2 - before[$1] } END { print sum + 0 }' \
        <(echo "$1") <(echo "$2")
}

# thread_ns of several processes (thread ids are unique across them).
all_ns() {
    local pid
    for pid in "$@"; do thread_ns "$pid"; done
}

hz=$(getconf CLK_TCK)
ticks0=$(pw_cpu_ticks "$PID")
ns0=$(all_ns "${PIDS[@]}")
peer0=$(all_ns "${PEERS[@]}")
start=$(date +%s.%N)
samples=()
for ((t = 0; t <= SPAN; t += STEP)); do
    if ((t > 0)); then
        # Sleep to the next multiple of STEP from the start, so the samples
        # do not drift by the time the sampling itself takes.
        sleep "$(awk -v s="$start" -v t="$t" -v now="$(date +%s.%N)" \
            'BEGIN { d = s + t - now; print (d > 0 ? d : 0) }')"
    fi
    samples+=("$(pw_rss_kb "$PID")")
done
ticks1=$(pw_cpu_ticks "$PID")
run=$(span_ns "$ns0" "$(all_ns "${PIDS[@]}")")
peer=$(span_ns "$peer0" "$(all_ns "${PEERS[@]}")")
peer_rss=$(pw_rss_kb "${PEERS[0]}")
kill -TERM "${PEERS[@]}"
wait "${PEERS[@]}" || true
hwm=$(awk '/^VmHWM:/ { print $2 }' "/proc/$PID/status")

kill -TERM "${PIDS[@]}"
for pid in "${PIDS[@]}"; do
    status=0
    wait "$pid" || status=$?
    [ "$status" -eq 0 ] || pw_die "the program ended with status $status on SIGTERM"
done
[ "$(pw_mail_count)" -eq 0 ] || pw_die "the idle program sent mail"

"$PW_PYTHON" - "$SPAN" "$COPIES" "$hz" "$ticks0" "$ticks1" "$run" "$hwm" "$peer" "$peer_rss" \
    "${PELLWICK_BENCH_RESULTS:-}" "${samples[@]}" <<'EOF'
import sys
span, copies, hz, t0, t1, run_ns, hwm, peer_ns, peer_rss = (float(v) for v in sys.argv[1:10])
results = sys.argv[10]
rss = [int(v) for v in sys.argv[11:]]
# Means of the copies.
peer_ms = peer_ns / 1e6 / copies
cpu_ms = (t1 - t0) * 1000 / hz
run_ms = run_ns / 1e6 / copies
print("| Idle over %d s (hidden, offscreen), %d copies of each | value |" % (span, copies))
print("|---|---:|")
print("| VmRSS at start / end | %d kB / %d kB |" % (rss[0], rss[-1]))
print("| VmRSS min / max of %d samples | %d kB / %d kB |" % (len(rss), min(rss), max(rss)))
print("| VmHWM (peak) | %d kB |" % hwm)
print("| CPU, utime + stime (stat), first copy | %.0f ms = %.3f %% of one core |" % (
    cpu_ms, cpu_ms / span / 10))
print("| CPU, run time of all threads (schedstat), mean | %.1f ms = %.4f %% of one core |" % (
    run_ms, run_ms / span / 10))
print("| CPU of a minimal Qt tray program beside it (schedstat), mean | %.1f ms; pellwick %.2f x |" % (
    peer_ms, run_ms / peer_ms if peer_ms else float("nan")))
print("| VmRSS of the minimal Qt tray program at the end | %d kB |" % peer_rss)
print()
print("VmRSS every 5 s (kB): " + " ".join(str(v) for v in rss))
if results:
    with open(results, "a") as out:
        out.write("idle.rss_start_kb\t%d\nidle.rss_end_kb\t%d\n" % (rss[0], rss[-1]))
        out.write("idle.rss_max_kb\t%d\nidle.cpu_ms\t%.0f\nidle.run_ms\t%.1f\n" % (
            max(rss), cpu_ms, run_ms))
        out.write("idle.span_s\t%d\nidle.minimal_tray_run_ms\t%.1f\n" % (span, peer_ms))
        out.write("idle.minimal_tray_rss_kb\t%d\n" % peer_rss)
EOF
