#!/usr/bin/env bash
# A soak run: bench/app/soak.sh [PAGES]  (default 2000)
# One window opens pages one after another, round and round a list of
# every page of ../shared/corpus/html (as files), generated text and table
# pages, a frameset and two picture pages from a local nginx, and prints its
# resident memory and the peak so far after 100, 500, 1,000 and PAGES pages.
# Memory that levels off is what a sound program shows; memory that keeps
# climbing is a leak. With --heaptrack REPORT the run goes under heaptrack:
# its whole analysis goes to the file REPORT and its summary (peak heap,
# leaked bytes) follows the figures.
set -euo pipefail
cd "$(dirname "$0")/../.."
heaptrack=""
if [ "${1:-}" = --heaptrack ]; then heaptrack="$(realpath "$2")"; shift 2; fi
pages="${1:-2000}"
source bench/lib/build.sh
bench_build bench_soak

work="$(mktemp -d)"
nginx_pid=""
trap '[ -n "$nginx_pid" ] && kill "$nginx_pid" 2>/dev/null; wait 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$work/root/frames" "$work/home"
for seed in $(seq 1 20); do
    python3 ../shared/pages/gen.py text --size 50K --seed "$seed" -o "$work/root/text$seed.htm"
    python3 ../shared/pages/gen.py tables --rows 20 --seed "$seed" -o "$work/root/tables$seed.htm"
done
python3 ../shared/pages/gen.py frameset -o "$work/root/frames/index.html"
PYTHONPATH=bench/lib python3 - "$work/root" <<'PY'
import gif, sys
gif.picture_page(sys.argv[1], "gallery25.htm", 25, "g", padding=20000, side=40)
gif.picture_page(sys.argv[1], "gallery100.htm", 100, "s")
PY
source bench/lib/servers.sh
start_nginx "$work" "$work/root" gallery25.htm

{
    find ../shared/corpus/html -type f \( -name '*.htm' -o -name '*.html' \) | sort |
        while read -r f; do echo "file://$(realpath "$f")"; done
    for seed in $(seq 1 20); do echo "$base/text$seed.htm"; echo "$base/tables$seed.htm"; done
    echo "$base/frames/index.html"
    echo "$base/gallery25.htm"
    echo "$base/gallery100.htm"
} >"$work/list"
echo "$(wc -l <"$work/list") addresses, $pages pages"

run=("$build/bench/app/bench_soak" "$work/list" "$pages" 100 500 1000)
if [ -n "$heaptrack" ]; then
    LUMO_HOME="$work/home" QT_QPA_PLATFORM=offscreen heaptrack -o "$work/soak" "${run[@]}"
    heaptrack_print -f "$work"/soak.*zst >"$heaptrack" 2>&1
    grep -E '^(peak heap|peak RSS|total memory leaked)' "$heaptrack"
else
    LUMO_HOME="$work/home" QT_QPA_PLATFORM=offscreen "${run[@]}"
fi
