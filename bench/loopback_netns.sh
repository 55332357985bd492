# SPDX-License-Identifier: MIT
# shellcheck shell=bash
# shellcheck disable=SC2034 # the PW_ variables are for the scripts that source this
# Shared by the whole-program benchmarks (sourced, not run): a private network
# namespace with only loopback in it, Debian's aiosmtpd on its port 25, and a
# fresh settings hive for the program. Nothing a benchmark sends can leave the
# namespace, and no real mail server is ever reached.
#
# Callers set nothing; they may override:
#   PELLWICK_BUILD  build folder (default: <repo>/build)

PW_REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
PW_BUILD=${PELLWICK_BUILD:-$PW_REPO/build}
PW_PELLWICK=$PW_BUILD/src/app/pellwick
PW_SINK_SCRIPT=$PW_REPO/tests/support/smtp_sink.py
# Debian's own Python: python3-aiosmtpd is installed for it, not for any other.
PW_PYTHON=/usr/bin/python3

pw_die() {
    echo "$(basename "$0"): $*" >&2
    exit 1
}

# Re-runs the calling script inside a new network namespace (as root) and
# brings its loopback up. Call first, with the script's own arguments.
pw_enter_netns() {
    [ "$(id -u)" -eq 0 ] || pw_die "needs root (a private network namespace)"
    if [ "${PW_IN_NETNS:-}" != 1 ]; then
        exec unshare --net env PW_IN_NETNS=1 "$0" "$@"
    fi
    ip link set lo up
    # Only loopback may exist here; anything else would mean a shared namespace.
    if ip -o link show | grep -qv ': lo:'; then
        pw_die "namespace holds more than loopback"
    fi
}

# A work folder removed when the script ends, and the end of every process the
# script started there.
pw_work_folder() {
    PW_WORK=$(mktemp -d /tmp/pellwick-bench.XXXXXX)
    # Qt wants a private runtime folder; without one it warns on every start.
    export XDG_RUNTIME_DIR=$PW_WORK/runtime
    mkdir -m 0700 "$XDG_RUNTIME_DIR"
    trap pw_cleanup EXIT
}

pw_cleanup() {
    pw_stop_sink
    [ -n "${PW_KEEP:-}" ] || rm -rf "$PW_WORK"
}

# Starts aiosmtpd on 127.0.0.1:25 storing messages in $PW_WORK/mail. It ends
# when the write end of its input closes (pw_stop_sink, or this script's end).
pw_start_sink() {
    PW_MAIL=$PW_WORK/mail
    mkdir -p "$PW_MAIL"
    mkfifo "$PW_WORK/sink.in"
    "$PW_PYTHON" "$PW_SINK_SCRIPT" --dir "$PW_MAIL" --host 127.0.0.1 --port 25 \
        <"$PW_WORK/sink.in" >"$PW_WORK/sink.port" &
    PW_SINK_PID=$!
    exec {PW_SINK_FD}>"$PW_WORK/sink.in"
    for _ in $(seq 100); do
        [ -s "$PW_WORK/sink.port" ] && break
        kill -0 "$PW_SINK_PID" 2>/dev/null || pw_die "the SMTP server did not start"
        sleep 0.1
    done
    [ "$(head -n1 "$PW_WORK/sink.port")" = 25 ] || pw_die "the SMTP server is not on port 25"
}

pw_stop_sink() {
    if [ -n "${PW_SINK_FD:-}" ]; then
        exec {PW_SINK_FD}>&-
        PW_SINK_FD=
        wait "$PW_SINK_PID" 2>/dev/null || true
    fi
}

# Number of messages the server has accepted so far.
pw_mail_count() {
    find "$PW_MAIL" -maxdepth 1 -name '*.data' | wc -l
}

# Writes a hive at $1/pellwick/registry.reg holding the given values, each
# given as NAME=dword or NAME=text:STRING.
pw_write_hive() {
    local config=$1
    shift
    mkdir -p "$config/pellwick"
    {
        printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Pellwick]\n'
        local pair name value
        for pair in "$@"; do
            name=${pair%%=*}
            value=${pair#*=}
            case $value in
            text:*) printf '"%s"="%s"\n' "$name" "${value#text:}" ;;
            *) printf '"%s"=dword:%08x\n' "$name" "$value" ;;
            esac
        done
        printf '\n'
    } >"$config/pellwick/registry.reg"
}

# Resident set (kB) and CPU time (clock ticks, user + system) of a process.
pw_rss_kb() {
    awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"
}

pw_cpu_ticks() {
    # Fields 14 and 15 of stat, counted after the command name, which may hold blanks.
    sed 's/^.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'
}
