#!/usr/bin/env bash
# The picture queue over https from a local nginx (TLS 1.3, a certificate of
# a test authority trusted through SSL_CERT_FILE), beside curl in the same
# run: bench/app/images_https.sh. 25 pictures of 20 KB: the time from the
# request until "DONE" beside `curl --parallel --parallel-max 10` fetching the
# same pictures, and the full TLS handshakes the window made (the first
# round, and a round on average; resumed sessions spare the rest).
set -euo pipefail
cd "$(dirname "$0")/../.."
build=build-bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUMO_BENCH=ON -DLUMO_TESTS=OFF >/dev/null
nice cmake --build "$build" --target bench_image_queue >/dev/null

work="$(mktemp -d)"
nginx_pid=""
trap '[ -n "$nginx_pid" ] && kill "$nginx_pid" 2>/dev/null; wait 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$work/root" "$work/home"
PYTHONPATH=bench/lib python3 - "$work/root" <<'PY'
import gif, sys
gif.picture_page(sys.argv[1], "gallery25.htm", 25, "g", padding=20000, side=40)
PY
source bench/lib/servers.sh
make_certificates "$work"
start_nginx_tls "$work" "$work/root" gallery25.htm

SSL_CERT_FILE="$work/ca.pem" LUMO_HOME="$work/home" LUMO_BENCH_BASE="$base" \
    QT_QPA_PLATFORM=offscreen "$build/bench/app/bench_image_queue" \
    --benchmark_filter=BM_25PicturesUntilDone --benchmark_format=json \
    --benchmark_out="$work/lumo.json" >/dev/null

python3 - "$work/lumo.json" "$base" "$work/ca.pem" <<'PY'
import json, subprocess, sys, time
fetch = ["curl", "--http1.0", "-s", "--cacert", sys.argv[3], "--parallel", "--parallel-max", "10"]
for i in range(25):
    fetch += ["-o", "/dev/null", f"{sys.argv[2]}/g{i}.gif"]
rounds = []
for _ in range(21):
    start = time.perf_counter()
    subprocess.run(fetch, stderr=subprocess.DEVNULL, check=True)
    rounds.append(time.perf_counter() - start)
curl = sorted(rounds)[10] * 1000
a = [b for b in json.load(open(sys.argv[1]))["benchmarks"] if b.get("aggregate_name") == "median"][0]
print(f"25 pictures of 20 KB over https until DONE: lumo {a['real_time']:.1f} ms, "
      f"curl --parallel {curl:.1f} ms, lumo/curl {a['real_time'] / curl:.2f}")
print(f"full handshakes: {a['full_handshakes_first_round']:.0f} in the first round, "
      f"{a['full_handshakes_a_round']:.1f} a round on average; "
      f"{a['resumed_a_round']:.1f} resumed a round")
PY
