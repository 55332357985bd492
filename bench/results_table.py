# SPDX-License-Identifier: MIT
"""Prints the one results table of bench/run-all.sh from what its runs left.

Usage: results_table.py FOLDER
FOLDER holds <bench>.json (Google Benchmark's JSON output) and "results"
("key<TAB>value" lines written by oneshot.sh, idle.sh and deliveries.sh).
Figures that a run did not produce show as "not run".
"""

import json
import os
import sys

folder = sys.argv[1]


def medians(bench):
    """Median aggregates of one benchmark program, by run name."""
    path = os.path.join(folder, bench + ".json")
    if not os.path.exists(path):
        return {}
    found = {}
    for entry in json.load(open(path))["benchmarks"]:
        if entry.get("aggregate_name") == "median":
            found[entry["run_name"].split("/repeats:")[0]] = entry
    return found


def shell_results():
    path = os.path.join(folder, "results")
    values = {}
    if os.path.exists(path):
        for line in open(path):
            key, value = line.rstrip("\n").split("\t")
            values[key] = float(value)
    return values


def time_of(entry, unit="us"):
    scale = {"ns": 1e-3, "us": 1.0, "ms": 1e3}
    return entry["real_time"] * scale[entry["time_unit"]] / scale[unit]


tick = medians("tick_bench")
window_tick = medians("window_tick_bench")
settings = medians("settings_bench")
log = medians("debug_log_bench")
shell = shell_results()
rows = []


def row(figure, value, note=""):
    rows.append("| %s | %s | %s |" % (figure, value, note))


NOT_RUN = "not run"

# One-shot runs.
if "oneshot.pellwick.median_ms" in shell:
    row("One-shot run, `pellwick /s` (start, mail accepted, exit)",
        "%.1f ms" % shell["oneshot.pellwick.median_ms"], "median of hyperfine runs; 1.00")
    for tool, how in (("swaks", "swaks"), ("curl", "curl smtp://"), ("msmtp", "msmtp")):
        row("One-shot run, %s, same message, same server" % how,
            "%.1f ms" % shell["oneshot.%s.median_ms" % tool],
            "%.2f × pellwick" % shell["oneshot.%s.ratio" % tool])
else:
    row("One-shot runs (pellwick, swaks, curl, msmtp)", NOT_RUN, "needs root")

# Timer tick.
if "TickReadings" in tick:
    row("One timer tick: readings + label texts + tooltip text (no widgets)",
        "%.1f µs" % time_of(tick["TickReadings"]),
        "local IP %.1f µs, memory %.1f µs, texts %.2f µs" % (
            time_of(tick["LocalIPReading"]), time_of(tick["MemoryReading"]),
            time_of(tick["MemoryTexts"])))
else:
    row("One timer tick (no widgets)", NOT_RUN)
if "WindowTick" in window_tick:
    row("One timer tick of the real window (`Tick`)",
        "%.1f µs" % time_of(window_tick["WindowTick"]),
        "with a new tooltip: %.1f µs" % time_of(window_tick["WindowTickWithTip"]))

# Idle program.
if "idle.cpu_ms" in shell:
    span = shell["idle.span_s"]
    row("Idle %d s, window hidden: VmRSS start → end" % span,
        "%d kB → %d kB" % (shell["idle.rss_start_kb"], shell["idle.rss_end_kb"]),
        "max %d kB" % shell["idle.rss_max_kb"])
    row("Idle %d s, window hidden: CPU time" % span,
        "%.1f ms (%.4f %% of one core)" % (shell["idle.run_ms"], shell["idle.run_ms"] / span / 10),
        "run time of all threads (schedstat); utime+stime of stat: %d ms" % shell["idle.cpu_ms"])
else:
    row("Idle program over 60 s", NOT_RUN, "needs root")

# Deliveries.
if "deliveries.off.count" in shell:
    count = shell["deliveries.keep.count"]
    first = shell["deliveries.keep.rss_first_at"]
    for mode, title in (("keep", "debug log kept (the program as it is)"),
                        ("off", "nothing written to the debug log")):
        v = lambda name: shell["deliveries.%s.%s" % (mode, name)]
        row("VmRSS after %d → %d deliveries, %s" % (first, count, title),
            "%d kB → %d kB (%+d kB)" % (v("rss_first_kb"), v("rss_last_kb"),
                                         v("rss_last_kb") - v("rss_first_kb")),
            "log at last sample: %d chars; %.2f ms per delivery" % (
                v("log_chars"), v("ms_per_delivery")))
else:
    row("10,000 deliveries", NOT_RUN, "needs root")

# Debug log.
small = log.get("AppendToDebugLog/1024")
if small:
    for size, name in ((1024, "1 KB"), (100 * 1024, "100 KB"), (1024 * 1024, "1 MB"),
                       (10 * 1024 * 1024, "10 MB")):
        entry = log.get("AppendToDebugLog/%d" % size)
        if entry:
            row("One debug-log append, %s of log present" % name, "%.1f µs" % time_of(entry),
                "CPU %.1f µs; %.2f × the 1 KB figure" % (
                    entry["cpu_time"], time_of(entry) / time_of(small)))
else:
    row("One debug-log append", NOT_RUN)
growth = log.get("AppendToDebugLog100k/iterations:1")
if growth:
    row("100,000 appends to an empty log: cost per append at start → end",
        "%.1f µs → %.1f µs" % (growth["start_us"], growth["end_us"]),
        "end/start %.2f; %.1f M characters at the end" % (
            growth["end_over_start"], growth["log_chars"] / 1e6))

# Settings.
if "BM_LoadSettings" in settings:
    row("Load of the stored settings from the hive", "%.0f µs" % time_of(
        settings["BM_LoadSettings"]), "every value read")
    row("Save, nothing changed", "%.0f µs" % time_of(settings["BM_SaveSettingsUnchanged"]),
        "no write")
    all_changed = settings["BM_SaveSettingsAllChanged"]
    row("Save, all shown values changed", "%.1f ms" % time_of(all_changed, "ms"),
        "19 durable writes; CPU %.1f ms" % (all_changed["cpu_time"] * {
            "ns": 1e-6, "us": 1e-3, "ms": 1.0}[all_changed["time_unit"]]))
else:
    row("Settings load and save", NOT_RUN)

print("| Figure | Measured (median) | Notes |")
print("|---|---:|---|")
print("\n".join(rows))
