#!/usr/bin/env bash
# Throughput over https from a local nginx (TLS 1.3, a certificate of a test
# authority the client trusts through SSL_CERT_FILE) beside curl in the same
# run: bench/net/https.sh. Prints MB/s of 100 MB fetches and the ratio.
set -euo pipefail
cd "$(dirname "$0")/../.."
source bench/lib/build.sh
bench_build lumo_net_bench

work="$(mktemp -d)"
nginx_pid=
trap 'kill $nginx_pid 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$work/root"
head -c $((100 * 1024 * 1024)) /dev/urandom > "$work/root/100mb.bin"
echo ok > "$work/root/probe.txt"
source bench/lib/servers.sh
make_certificates "$work"
start_nginx_tls "$work" "$work/root" probe.txt

SSL_CERT_FILE="$work/ca.pem" LUMO_BENCH_BASE="$base" QT_QPA_PLATFORM=offscreen \
    "$build/bench/net/lumo_net_bench" --benchmark_filter='BM_Fetch100MB/' \
    --benchmark_format=json --benchmark_out="$work/lumo.json" >/dev/null

start=$(date +%s.%N)
for _ in $(seq 10); do curl --http1.0 -s --cacert "$work/ca.pem" -o /dev/null "$base/100mb.bin"; done
end=$(date +%s.%N)
curl_rate=$(python3 -c "print(f'{100 * 10 / ($end - $start):.1f}')")

python3 - "$work/lumo.json" "$curl_rate" <<'PY'
import json, sys
run = [b for b in json.load(open(sys.argv[1]))["benchmarks"] if b["name"].startswith("BM_Fetch100MB")][0]
# Wall-clock time, as curl's figure is: a fetch mostly waits for the network.
assert run["time_unit"] == "ms"
lumo, curl = 100 / (run["real_time"] / 1000), float(sys.argv[2])
print(f"100 MB over https: lumo {lumo:.1f} MB/s, curl {curl:.1f} MB/s, lumo/curl {lumo / curl:.2f}")
PY
