#!/usr/bin/env bash
# The frame browser and the navigation driver: bench/frames/run.sh [RUNS]
# (the whole program beside Dillo is bench/program/run.sh)
#
# 1. A local page of 400 frames (20 sets of 20) through the whole program,
#    and bench_frames: loading it, and laying it out again after a resize.
# 2. A 50 MB page over loopback: the driver's fetch (status and gauge on
#    every block, the cache copy written) and the bare connection, beside curl.
set -euo pipefail
cd "$(dirname "$0")/../.."
runs="${1:-3}"
source bench/lib/build.sh
bench_build lumo bench_frames bench_driver

work="$(mktemp -d)"
nginx_pid=""
trap '[ -n "$nginx_pid" ] && kill "$nginx_pid" 2>/dev/null; wait 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$work/pages" "$work/home"
python3 ../shared/pages/gen.py all "$work/pages" >/dev/null
python3 - "$work/pages" <<'PY'
import sys
root = sys.argv[1]
cols = ",".join("*" * 20)
sets = "".join('<FRAMESET ROWS="%s">%s</FRAMESET>' % (cols, "".join(
    '<FRAME SRC="f%d.htm">' % (i * 20 + j) for j in range(20))) for i in range(20))
open(root + "/frames400.htm", "w").write('<TITLE>400</TITLE><FRAMESET COLS="%s">%s</FRAMESET>' % (cols, sets))
for i in range(400):
    open(root + "/f%d.htm" % i, "w").write("<P>Frame %d of four hundred" % i)
line = "<P>" + "The quick brown fox jumps over the lazy dog. " * 20 + "\n"
with open(root + "/50mb.htm", "w") as f:
    for _ in range(50 * 1024 * 1024 // len(line)):
        f.write(line)
PY

source bench/lib/servers.sh
source bench/lib/timing.sh
start_nginx "$work" "$work/pages" text_1m.html

read -r t m <<<"$(lumo_shot "$work" "$runs" "$build" "file://$work/pages/frames400.htm")"
printf '%-28s %9s %9s\n' page seconds MiB
printf '%-28s %9.2f %9.1f\n' "400 frames file://" "$t" "$m"

echo
QT_QPA_PLATFORM=offscreen "$build/bench/frames/bench_frames" --benchmark_format=console 2>/dev/null |
    grep -E '^BM_'

echo
LUMO_HOME="$work/home" LUMO_BENCH_BASE="$base" QT_QPA_PLATFORM=offscreen \
    "$build/bench/app/bench_driver" --benchmark_format=json --benchmark_out="$work/driver.json" >/dev/null
start=$(date +%s.%N)
for _ in 1 2 3; do curl --http1.0 -s -o /dev/null "$base/50mb.htm"; done
end=$(date +%s.%N)
python3 - "$work/driver.json" "$(stat -c %s "$work/pages/50mb.htm")" "$start" "$end" <<'PY'
import json, sys
runs = {b["name"].split("/")[0]: b for b in json.load(open(sys.argv[1]))["benchmarks"]}
size, start, end = int(sys.argv[2]), float(sys.argv[3]), float(sys.argv[4])
curl = 3 * size / 1048576 / (end - start)
print(f"{'50 MB page':<28}{'MB/s':>10}{'/curl':>10}")
for name, label in (("BM_DriverFetch50MB", "driver (status, cache)"),
                    ("BM_ConnectionFetch50MB", "bare connection")):
    rate = runs[name]["bytes_per_second"] / 1048576
    print(f"{label:<28}{rate:>10.1f}{rate / curl:>10.2f}")
print(f"{'curl':<28}{curl:>10.1f}{1:>10.2f}")
PY
