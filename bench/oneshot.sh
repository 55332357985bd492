#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# One mail from start to exit: "pellwick /s" with AutoMail and AutoExit set
# (start, dialogue with the server, save, exit) and "pellwick --send-now" (no
# display, no save) against swaks, curl and msmtp sending the same message to
# the same server. They run side by side, one run of each per round, inside a
# private network namespace, against Debian's aiosmtpd on 127.0.0.1:25. Every
# mail of every run is checked on arrival.
#
# Usage (as root): bench/oneshot.sh [RUNS]   (default 30 rounds after 3 warm-up rounds)
# Prints a Markdown table; with PELLWICK_BENCH_RESULTS=FILE also appends
# "key<TAB>value" lines to FILE for run-all.sh. PELLWICK_BASELINE=BUILD adds
# "pellwick /s" of another build folder as the sender "before".
set -euo pipefail
# shellcheck source=bench/loopback_netns.sh
source "$(dirname "$0")/loopback_netns.sh"
pw_enter_netns "$@"

RUNS=${1:-30}
WARMUP=3
for tool in hyperfine swaks curl msmtp; do
    command -v "$tool" >/dev/null || pw_die "$tool missing (scripts/install-deps.sh installs it)"
done
[ -x "$PW_PELLWICK" ] || pw_die "no program at $PW_PELLWICK (build it first)"

pw_work_folder
pw_start_sink

CONFIG=$PW_WORK/config
# A log-in run starts hidden (StartMinimized; the offscreen platform has no
# tray, so the window waits minimised on the task bar).
pw_write_hive "$PW_WORK/template" AutoMail=1 AutoExit=1 EmailOnIPStartup=1 DisplayIcon=0 \
    StartMinimized=1 SMTPServer=text:127.0.0.1
# Every run starts from the same fresh settings folder.
PREPARE="rm -rf '$CONFIG' && cp -r '$PW_WORK/template' '$CONFIG'"
MESSAGE=$PW_WORK/message.eml
# swaks ends the data with a line break of its own; given the message without
# its last one, it delivers the same bytes as the others.
SWAKS_MESSAGE=$PW_WORK/message-swaks.eml
FROM=pellwick@localhost
TO=root@localhost

declare -A COMMAND=(
    [pellwick]="env QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME='$CONFIG' '$PW_PELLWICK' /s"
    [send-now]="env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_CONFIG_HOME='$CONFIG' '$PW_PELLWICK' --send-now >/dev/null"
    [swaks]="swaks --server 127.0.0.1 --port 25 --from $FROM --to $TO --data @'$SWAKS_MESSAGE'"
    [curl]="curl -sS --mail-from $FROM --mail-rcpt $TO --upload-file '$MESSAGE' smtp://127.0.0.1:25"
    [msmtp]="msmtp --file=/dev/null --host=127.0.0.1 --port=25 --auth=off --tls=off --from=$FROM --set-msgid-header=off $TO <'$MESSAGE'"
)
ORDER=(pellwick send-now swaks curl msmtp)
if [ -n "${PELLWICK_BASELINE:-}" ]; then
    BEFORE=$PELLWICK_BASELINE/src/app/pellwick
    [ -x "$BEFORE" ] || pw_die "no program at $BEFORE"
    COMMAND[before]="env QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME='$CONFIG' '$BEFORE' /s"
    ORDER+=(before)
fi

# What the program's mail must look like: its template with the namespace's
# only address put in, and the envelope from its default settings.
pellwick_mail_ok() {
    grep -q $'^Subject: Your New IP is 127.0.0.1\r$' "$1.data" &&
        grep -q $'^Your New IP Address is 127.0.0.1\r$' "$1.data" &&
        grep -Eq $'^X-Mailer: Pellwick v[0-9]+(\.[0-9]+)+\r$' "$1.data" &&
        [ "$(cat "$1.from")" = "$FROM" ] && [ "$(cat "$1.rcpt")" = "$TO" ]
}

# The other tools must deliver the program's own message byte for byte.
copy_mail_ok() {
    cmp -s "$1.data" "$MESSAGE" && [ "$(cat "$1.from")" = "$FROM" ] &&
        [ "$(cat "$1.rcpt")" = "$TO" ]
}

check_mail() { # tool first last
    local n
    for n in $(seq "$2" "$3"); do
        if [ "$1" = pellwick ] || [ "$1" = send-now ] || [ "$1" = before ]; then
            pellwick_mail_ok "$PW_MAIL/$n" || pw_die "mail $n from $1 is not the program's mail"
        else
            copy_mail_ok "$PW_MAIL/$n" || pw_die "mail $n from $1 differs from the program's"
        fi
    done
}

# One checked run of each first: the program's mail becomes the message the
# others send, and a tool that cannot deliver stops the benchmark here.
bash -c "$PREPARE"
timeout 30 bash -c "${COMMAND[pellwick]}" || pw_die "pellwick /s did not end with status 0"
[ "$(pw_mail_count)" -eq 1 ] || pw_die "pellwick /s delivered no mail"
cp "$PW_MAIL/1.data" "$MESSAGE"
# Every later log-in finds what that run left: its saved settings and the
# log-in entry it wrote.
rm -rf "$PW_WORK/template"
cp -r "$CONFIG" "$PW_WORK/template"
head -c -2 "$MESSAGE" >"$SWAKS_MESSAGE"
pellwick_mail_ok "$PW_MAIL/1" || pw_die "the program's mail is not as configured"
count=1
for tool in "${ORDER[@]:1}"; do
    timeout 30 bash -c "${COMMAND[$tool]}" >/dev/null || pw_die "$tool failed"
    count=$((count + 1))
    [ "$(pw_mail_count)" -eq "$count" ] || pw_die "$tool delivered no mail"
    check_mail "$tool" "$count" "$count"
done

# The timed runs, in rounds of one run of each sender: hyperfine alone would
# time every run of one sender before the next, and on a shared machine the
# load moves between those blocks. The first WARMUP rounds are not timed.
args=()
for tool in "${ORDER[@]}"; do
    args+=(--command-name "$tool" "${COMMAND[$tool]}")
done
for round in $(seq $((WARMUP + RUNS))); do
    timeout 120 hyperfine --style none --runs 1 --prepare "$PREPARE" \
        --export-json "$PW_WORK/round-$round.json" "${args[@]}" >/dev/null
done

per_tool=$((WARMUP + RUNS))
[ "$(pw_mail_count)" -eq $((count + per_tool * ${#ORDER[@]})) ] ||
    pw_die "expected $((per_tool * ${#ORDER[@]})) mails from the timed runs, got $(($(pw_mail_count) - count))"
mail=$count
for _ in $(seq "$per_tool"); do
    for tool in "${ORDER[@]}"; do
        mail=$((mail + 1))
        check_mail "$tool" "$mail" "$mail"
    done
done

"$PW_PYTHON" - "$PW_WORK" "$WARMUP" "$per_tool" "${PELLWICK_BENCH_RESULTS:-}" <<'EOF'
import json, statistics, sys
work, warmup, arrived, out = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4]
results = []
for round in range(warmup + 1, int(arrived) + 1):
    for i, r in enumerate(json.load(open("%s/round-%d.json" % (work, round)))["results"]):
        if len(results) <= i:
            results.append({"command": r["command"], "times": []})
        results[i]["times"] += r["times"]
for r in results:
    r["mean"] = statistics.mean(r["times"])
    r["stddev"] = statistics.stdev(r["times"]) if len(r["times"]) > 1 else 0.0
    r["min"] = min(r["times"])
base = statistics.median(results[0]["times"])
print("| Sender | median ms | mean ± σ ms | min ms | median / pellwick | mails checked |")
print("|---|---:|---:|---:|---:|---:|")
lines = []
for r in results:
    median = statistics.median(r["times"])
    print("| %s | %.1f | %.1f ± %.1f | %.1f | %.2f | %s/%s |" % (
        r["command"], median * 1e3, r["mean"] * 1e3, r["stddev"] * 1e3, r["min"] * 1e3,
        median / base, arrived, arrived))
    lines.append("oneshot.%s.median_ms\t%.1f\n" % (r["command"], median * 1e3))
    lines.append("oneshot.%s.ratio\t%.2f\n" % (r["command"], median / base))
if out:
    with open(out, "a") as results_file:
        results_file.writelines(lines)
EOF
echo
echo "$RUNS timed rounds and $WARMUP warm-up rounds of one run per sender; every mail arrived and was checked."
