#!/usr/bin/env bash
# The picture queue from a local nginx, beside curl in the same run:
# bench/app/images.sh [--https]
#   25 pictures of 20 KB: the time from the request until "DONE" (the page
#   itself included) beside `curl --parallel --parallel-max 10` fetching the
#   same 25 pictures;
#   over http, 500 small pictures of unknown size: the same time, the most
#   processor time the event loop spent in one pass while they came (a tick
#   with its layout) and the layouts;
#   with --https, the 25 over TLS 1.3 (a certificate of a test authority
#   trusted through SSL_CERT_FILE) and the full TLS handshakes the window
#   made (the first round, and a round on average; resumed sessions spare
#   the rest).
set -euo pipefail
cd "$(dirname "$0")/../.."
scheme=http
[ "${1:-}" = --https ] && scheme=https
source bench/lib/build.sh
bench_build bench_image_queue

work="$(mktemp -d)"
nginx_pid=""
trap '[ -n "$nginx_pid" ] && kill "$nginx_pid" 2>/dev/null; wait 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$work/root" "$work/home"
PYTHONPATH=bench/lib python3 - "$work/root" <<'PY'
import gif, sys
gif.picture_page(sys.argv[1], "gallery25.htm", 25, "g", padding=20000, side=40)
gif.picture_page(sys.argv[1], "gallery500.htm", 500, "s")
PY
source bench/lib/servers.sh
filter=.
cacert=()
if [ "$scheme" = https ]; then
    make_certificates "$work"
    start_nginx_tls "$work" "$work/root" gallery25.htm
    export SSL_CERT_FILE="$work/ca.pem"
    filter=BM_25PicturesUntilDone
    cacert=(--cacert "$work/ca.pem")
else
    start_nginx "$work" "$work/root" gallery25.htm
fi

LUMO_HOME="$work/home" LUMO_BENCH_BASE="$base" QT_QPA_PLATFORM=offscreen \
    "$build/bench/app/bench_image_queue" --benchmark_filter="$filter" \
    --benchmark_format=json --benchmark_out="$work/lumo.json" >/dev/null

# curl: the 25 pictures, ten at once, the median of 21 rounds.
python3 - "$work/lumo.json" "$base" "$scheme" "${cacert[@]}" <<'PY'
import json, subprocess, sys, time
lumo, base, scheme, cacert = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
fetch = ["curl", "--http1.0", "-s", *cacert, "--parallel", "--parallel-max", "10"]
for i in range(25):
    fetch += ["-o", "/dev/null", f"{base}/g{i}.gif"]
rounds = []
for _ in range(21):
    start = time.perf_counter()
    subprocess.run(fetch, stderr=subprocess.DEVNULL, check=True)
    rounds.append(time.perf_counter() - start)
curl = sorted(rounds)[10] * 1000
runs = {b["name"].split("/")[0]: b for b in json.load(open(lumo))["benchmarks"]
        if b.get("aggregate_name") == "median"}
a = runs["BM_25PicturesUntilDone"]
print(f"25 pictures of 20 KB over {scheme} until DONE: lumo {a['real_time']:.1f} ms, "
      f"curl --parallel {curl:.1f} ms, lumo/curl {a['real_time'] / curl:.2f} "
      f"({a['layouts']:.0f} layouts)")
if scheme == "https":
    print(f"full handshakes: {a['full_handshakes_first_round']:.0f} in the first round, "
          f"{a['full_handshakes_a_round']:.1f} a round on average; "
          f"{a['resumed_a_round']:.1f} resumed a round")
else:
    b = runs["BM_500PicturesUntilDone"]
    print(f"500 small pictures until DONE: {b['real_time']:.1f} ms, {b['layouts']:.0f} layouts, "
          f"longest event-loop pass {b['longest_pass_ms']:.1f} ms of processor time")
PY
