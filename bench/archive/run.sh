#!/usr/bin/env bash
# Web archives and batch runs: bench/archive/run.sh [SIZE-MB] [RUNS] [EVERY]
#
# 1. A WARC file of SIZE-MB (default 1000) made from generated pages and
#    pictures (make_warc.py): its first opening (indexing, MB/s), its second
#    (the saved index), and the peak memory of each, in a process of its own.
#    The file was just written, so the first opening reads it from the page
#    cache: the figure is the indexer's, not the disk's.
# 2. 200 generated period pages (gen.py text --size 20K and tables --rows 20,
#    seeds 1 to 100) rendered to PNG at 800x600 by one `lumo --batch` run on
#    one core, beside Dillo rendering each page in a process of its own
#    (../shared/peers/dillo-time, RUNS runs each, default 1), in the same
#    run: pages a second of each and the ratio. Dillo's time is the sum of
#    its measured runs (each of its runs is timed from process start); it
#    renders every EVERY-th seed only (default 1: all), as each of its
#    measured runs also costs a server start and a warm-up run of seconds.
set -euo pipefail
cd "$(dirname "$0")/../.."
size="${1:-1000}"
runs="${2:-1}"
every="${3:-1}"
source bench/lib/build.sh
bench_build lumo bench_archive_open

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/pages" "$work/home" "$work/shots"

python3 bench/archive/make_warc.py "$work/big.warc" "$size"
echo "archive: $(du -m "$work/big.warc" | cut -f1) MB"
printf '%-22s %8s %8s %8s %9s\n' opening seconds "MB/s" captures "peak MiB"
for pass in first second; do
    read -r seconds rate entries peak how < <("$build/bench/archive/bench_archive_open" \
        "$work/big.warc" "$work/index")
    printf '%-22s %8s %8s %8s %9s\n' "$pass ($how)" "$seconds" "$rate" "$entries" "$peak"
done
rm -f "$work/big.warc"

python3 - "$work/pages" <<'PY'
import sys
sys.path.insert(0, "../shared/pages")
import gen
for n in range(1, 101):
    gen.write(f"{sys.argv[1]}/text{n}.htm", gen.gen_text(gen.parse_size("20K"), n))
    gen.write(f"{sys.argv[1]}/tables{n}.htm", gen.gen_tables(20, 3, n))
PY
for n in $(seq 1 100); do
    for kind in text tables; do
        echo "$work/shots/$kind$n.png $work/pages/$kind$n.htm"
    done
done >"$work/list"

start=$(date +%s.%N)
LUMO_HOME="$work/home" QT_QPA_PLATFORM=offscreen taskset -c 0 \
    "$build/app/lumo" --batch "$work/list" --size 800x600 2>"$work/batch.log" || true
end=$(date +%s.%N)
tail -1 "$work/batch.log"
ours=$(python3 -c "print(200 / ($end - $start))")

peer_total=0
peer_pages=0
for n in $(seq 1 "$every" 100); do
    for kind in text tables; do
        read -r seconds _ < <(../shared/peers/dillo-time "$work/pages/$kind$n.htm" "$runs")
        peer_total=$(python3 -c "print($peer_total + $seconds)")
        peer_pages=$((peer_pages + 1))
    done
done
peer=$(python3 -c "print($peer_pages / $peer_total)")
python3 - "$ours" "$peer" <<'PY'
import sys
ours, peer = float(sys.argv[1]), float(sys.argv[2])
print(f"{'pages to PNG':<22} lumo --batch {ours:6.1f} pages/s   Dillo {peer:6.1f} pages/s   ratio {ours / peer:5.2f}")
PY
