#!/usr/bin/env bash
# A 500 MB download through the download window beside curl writing the same
# file from the same local nginx in the same run, and a keystroke's completion
# over 50,000 remembered addresses: bench/app/run.sh. Prints MB/s and the ratio.
set -euo pipefail
cd "$(dirname "$0")/../.."
source bench/lib/build.sh
bench_build bench_saving

work="$(mktemp -d)"
nginx_pid=""
trap '[ -n "$nginx_pid" ] && kill "$nginx_pid" 2>/dev/null; wait 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$work/root"
truncate -s $((500 * 1024 * 1024)) "$work/root/500mb.bin"
source bench/lib/servers.sh
start_nginx "$work" "$work/root" 500mb.bin

LUMO_BENCH_BASE="$base" LUMO_BENCH_TARGET="$work/lumo.bin" "$build/bench/app/bench_saving" \
    --benchmark_format=json --benchmark_out="$work/lumo.json" >/dev/null

# curl writes the same file the same number of times.
start=$(date +%s.%N)
for _ in 1 2 3; do curl --http1.0 -s -o "$work/curl.bin" "$base/500mb.bin"; done
end=$(date +%s.%N)
curl_rate=$(python3 -c "print(1500 / ($end - $start))")

python3 - "$work/lumo.json" "$curl_rate" <<'PY'
import json, sys
runs = {b["name"].split("/")[0]: b for b in json.load(open(sys.argv[1]))["benchmarks"]}
lumo = runs["BM_Download500MB"]["bytes_per_second"] / 1048576
curl = float(sys.argv[2])
print(f"500 MB download to a file: lumo {lumo:.1f} MB/s, curl {curl:.1f} MB/s, lumo/curl {lumo / curl:.2f}")
c = runs["BM_CompletionOf50000"]
print(f"one keystroke's completion over 50,000 addresses: {c['real_time']:.1f} {c['time_unit']}")
d = runs["BM_LookUpListOf50000"]
print(f"the same with the look-up list shown: {d['real_time']:.1f} {d['time_unit']}")
PY
