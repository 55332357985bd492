#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# 10,000 deliveries by the real window (bench/delivery_driver) to Debian's
# aiosmtpd on 127.0.0.1:25 of a private network namespace, resident memory
# sampled every 1000 deliveries, twice over: with the debug log as the program
# keeps it (its newest 1 MiB) and with nothing written to the log. Every
# delivery is checked on arrival.
#
# Usage (as root): bench/deliveries.sh [COUNT]   (default 10000)
# PW_MODES="keep" runs only the log as the program keeps it, as for the
# 86,400-delivery run; PW_TIMEOUT (seconds, default
# 3600) bounds each mode's run.
# Prints Markdown tables; with PELLWICK_BENCH_RESULTS=FILE also appends
# "key<TAB>value" lines to FILE for run-all.sh.
set -euo pipefail
# shellcheck source=bench/loopback_netns.sh
source "$(dirname "$0")/loopback_netns.sh"
pw_enter_netns "$@"

COUNT=${1:-10000}
EVERY=$((COUNT >= 10 ? COUNT / 10 : 1))
DRIVER=$PW_BUILD/bench/delivery_driver
[ -x "$DRIVER" ] || pw_die "no driver at $DRIVER (build the target delivery_driver)"
pw_work_folder
pw_start_sink

RESULTS=$PW_WORK/results
: >"$RESULTS"
MODES=${PW_MODES:-keep off}
for mode in $MODES; do
    before=$(pw_mail_count)
    echo "### Debug log: $mode"
    echo
    QT_QPA_PLATFORM=offscreen timeout "${PW_TIMEOUT:-3600}" "$DRIVER" --count "$COUNT" --every "$EVERY" \
        --log "$mode" --results "$RESULTS" 2>"$PW_WORK/driver.err" ||
        { cat "$PW_WORK/driver.err" >&2; pw_die "the driver failed (log $mode)"; }
    echo
    arrived=$(($(pw_mail_count) - before))
    [ "$arrived" -eq "$COUNT" ] || pw_die "$arrived of $COUNT mails arrived (log $mode)"
done

# Every mail is the program's, with the namespace's only address put in.
wrong=$(find "$PW_MAIL" -maxdepth 1 -name '*.data' -print0 |
    xargs -0 grep -L $'^Subject: Your New IP is 127.0.0.1\r$' | wc -l)
[ "$wrong" -eq 0 ] || pw_die "$wrong mails are not the program's"
echo "All $(($(wc -w <<<"$MODES") * COUNT)) mails arrived and were checked."
echo

"$PW_PYTHON" - "$RESULTS" "${PELLWICK_BENCH_RESULTS:-}" <<'EOF'
import sys
values = {}
for line in open(sys.argv[1]):
    key, value = line.rstrip("\n").split("\t")
    values[key] = value
print("| Debug log | VmRSS after %s | VmRSS after %s | growth | log at last sample | ms per delivery |"
      % (values["deliveries.keep.rss_first_at"], values["deliveries.keep.count"]))
print("|---|---:|---:|---:|---:|---:|")
for mode, title in (("keep", "kept (as the program does)"), ("off", "not written")):
    if "deliveries.%s.count" % mode not in values:
        continue
    v = lambda name: float(values["deliveries.%s.%s" % (mode, name)])
    print("| %s | %d kB | %d kB | %+d kB | %d chars | %.2f |" % (
        title, v("rss_first_kb"), v("rss_last_kb"), v("rss_last_kb") - v("rss_first_kb"),
        v("log_chars"), v("ms_per_delivery")))
if sys.argv[2]:
    with open(sys.argv[2], "a") as out:
        out.writelines(open(sys.argv[1]).readlines())
EOF
