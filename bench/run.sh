#!/usr/bin/env bash
# Runs the benchmark on a private virtual display (Xvfb 1024x768 + openbox)
# and prints its table. `make bench` builds what it needs and runs this.
#
#   bench/run.sh [BUILD_DIR] [--reps N] [--idle SECONDS]
#
# The children's output goes to a log in a temporary folder, removed at the end
# unless the run fails.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=build
if [ $# -gt 0 ] && [ "${1#--}" = "$1" ]; then
    build=$1
    shift
fi
for tool in vistrum bench_bare_window bench_measure; do
    if [ ! -x "$build/bin/$tool" ]; then
        echo "bench: $build/bin/$tool is missing; build it first (bench_measure needs libxcb-xtest0-dev)" >&2
        exit 1
    fi
done
command -v xdotool >/dev/null || { echo "bench: xdotool is missing (make deps-test)" >&2; exit 1; }

session=$(mktemp -d "${TMPDIR:-/tmp}/vistrum-bench.XXXXXX")
finish() {
    local rc=$?
    "$root/tools/xsession.sh" stop "$session" >/dev/null || rc=1
    if [ "$rc" -eq 0 ]; then rm -rf "$session"; else echo "bench: logs kept in $session" >&2; fi
    exit "$rc"
}
trap finish EXIT
"$root/tools/xsession.sh" start "$session" --wm openbox --size 1024x768 >/dev/null
# shellcheck disable=SC1091
source "$session/env"

# The load average tells whether other work on the machine shared the run.
echo "On $DISPLAY (Xvfb 1024x768, openbox), $(nproc) CPUs, $(date -u '+%Y-%m-%d %H:%M UTC'); load average $(cut -d' ' -f1-3 /proc/loadavg)"
"$build/bin/bench_measure" "$build/bin/vistrum" "$build/bin/bench_bare_window" \
    --log "$session/children.log" "$@"
echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
