#!/usr/bin/env bash
# Throughput of the HTTP client against a local nginx, directly and through a
# local dante SOCKS 5 server, beside curl (and curl --socks5) in the same run:
# bench/net/run.sh. Prints MB/s (images: milliseconds) and the ratio, then the
# cost of a line in line mode for 10^4 and 10^5 lines sent in one burst.
set -euo pipefail
cd "$(dirname "$0")/../.."
source bench/lib/build.sh
bench_build lumo_net_bench

work="$(mktemp -d)"
nginx_pid= dante_pid=
trap 'kill $nginx_pid $dante_pid 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$work/root"
head -c $((1024 * 1024)) /dev/urandom > "$work/root/1mb.bin"
head -c $((100 * 1024 * 1024)) /dev/urandom > "$work/root/100mb.bin"
for i in $(seq 0 24); do head -c $((8000 + i * 1000)) /dev/urandom > "$work/root/img$i.gif"; done
for n in 10000 100000; do seq -f 'line %g of the burst' "$n" > "$work/root/lines$n.txt"; done
source bench/lib/servers.sh
start_nginx "$work" "$work/root" 1mb.bin
socks_port=$(free_port)
cat > "$work/danted.conf" <<CONF
logoutput: $work/danted.log
internal: 127.0.0.1 port = $socks_port
external: 127.0.0.1
clientmethod: none
socksmethod: none
user.privileged: root
user.unprivileged: nobody
client pass { from: 127.0.0.0/8 to: 0.0.0.0/0 }
socks pass { from: 127.0.0.0/8 to: 127.0.0.0/8 }
CONF
/usr/sbin/danted -f "$work/danted.conf" -p "$work/danted.pid" -N 1 &
dante_pid=$!
for _ in $(seq 50); do curl -s -o /dev/null --socks5 "127.0.0.1:$socks_port" "$base/1mb.bin" && break; sleep 0.1; done

LUMO_BENCH_BASE="$base" LUMO_BENCH_SOCKS="127.0.0.1:$socks_port" QT_QPA_PLATFORM=offscreen "$build/bench/net/lumo_net_bench" \
    --benchmark_format=json --benchmark_out="$work/lumo.json" >/dev/null

# curl: the same fetches, repeated, averaged like the benchmark's runs.
curl_rate() { # url repeats bytes [curl options] -> MB/s over all repeats
    local url=$1 n=$2 start end
    start=$(date +%s.%N)
    for _ in $(seq "$n"); do curl --http1.0 -s -o /dev/null "${@:4}" "$url"; done
    end=$(date +%s.%N)
    python3 -c "import sys; print(f'{$3 * $n / 1048576 / ($end - $start):.1f}')"
}
curl_1mb=$(curl_rate "$base/1mb.bin" 200 1048576)
curl_100mb=$(curl_rate "$base/100mb.bin" 10 104857600)
curl_socks=$(curl_rate "$base/100mb.bin" 10 104857600 --socks5 "127.0.0.1:$socks_port")
urls=(); for i in $(seq 0 24); do urls+=("$base/img$i.gif" -o /dev/null); done
start=$(date +%s.%N)
for _ in $(seq 20); do curl --http1.0 -s --no-progress-meter --parallel --parallel-max 10 "${urls[@]}"; done
end=$(date +%s.%N)
curl_images=$(python3 -c "print(f'{($end - $start) / 20 * 1000:.2f}')")

python3 - "$work/lumo.json" "$curl_1mb" "$curl_100mb" "$curl_images" "$curl_socks" <<'PY'
import json, sys
benchmarks = json.load(open(sys.argv[1]))["benchmarks"]
runs = {b["name"].split("/")[0]: b for b in benchmarks}
mb = lambda n: runs[n]["bytes_per_second"] / 1048576
c1, c100, cimg, csocks = map(float, sys.argv[2:6])
img = runs["BM_25ImagesTenAtOnce"]["real_time"]
print(f"{'case':<28}{'lumo':>10}{'curl':>10}{'lumo/curl':>11}")
print(f"{'1 MB (MB/s)':<28}{mb('BM_Fetch1MB'):>10.1f}{c1:>10.1f}{mb('BM_Fetch1MB') / c1:>11.2f}")
print(f"{'100 MB (MB/s)':<28}{mb('BM_Fetch100MB'):>10.1f}{c100:>10.1f}{mb('BM_Fetch100MB') / c100:>11.2f}")
print(f"{'25 images, 10 at once (ms)':<28}{img:>10.2f}{cimg:>10.2f}{cimg / img:>11.2f}")
s = mb('BM_Fetch100MBThroughSocks')
print(f"{'100 MB via SOCKS 5 (MB/s)':<28}{s:>10.1f}{csocks:>10.1f}{s / csocks:>11.2f}")
per_line = {int(b["name"].split("/")[1]): b["real_time"] * 1e3 / int(b["name"].split("/")[1])
            for b in benchmarks if b["name"].startswith("BM_LineMode/") and b.get("run_type") == "iteration"}
small, large = per_line[10000], per_line[100000]
print(f"line mode, one burst: {small:.2f} us a line for 10^4 lines, {large:.2f} us for 10^5"
      f" (10^5/10^4 per line: {large / small:.2f}; 1.00 is linear)")
PY
