#!/usr/bin/env bash
# The whole program beside Dillo, from process start to the page drawn:
# bench/program/run.sh [RUNS]
#
# `lumo --screenshot` at 800x600 (until the PNG is written) and Dillo
# rendering the same page (../shared/peers/dillo-time: until it goes quiet,
# under its own Xvfb with a dead proxy), median of RUNS (default 3) each,
# wall time and peak resident memory, with our figure over Dillo's:
#   text 1 MB, text 5 MB and the 500-table page from ../shared/pages/gen.py;
#   a page of 500 small GIFs (ours from a local nginx and from disk, Dillo's
#   from disk: its network is pinned to a dead proxy);
#   a tiny page, beside the floor Qt alone sets (bench_qt_floor: an empty
#   window grabbed and written as PNG), which no Qt program goes under;
#   and how our cost grows from text 1 MB to text 5 MB.
set -euo pipefail
cd "$(dirname "$0")/../.."
runs="${1:-3}"
build=build-bench
peers=../shared/peers
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUMO_BENCH=ON -DLUMO_TESTS=OFF >/dev/null
nice cmake --build "$build" --target lumo bench_qt_floor >/dev/null

work="$(mktemp -d)"
nginx_pid=""
trap '[ -n "$nginx_pid" ] && kill "$nginx_pid" 2>/dev/null; wait 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$work/pages" "$work/home"
python3 ../shared/pages/gen.py all "$work/pages" >/dev/null
printf '<TITLE>Tiny</TITLE>\n<P>Hello, world.\n' >"$work/pages/tiny.html"
PYTHONPATH=bench/lib python3 -c 'import gif, sys; gif.picture_page(sys.argv[1], "images_500.html", 500, "i")' "$work/pages"

source bench/lib/servers.sh
source bench/lib/timing.sh
start_nginx "$work" "$work/pages" tiny.html

lumo() { lumo_shot "$work" "$runs" "$build" "$1"; }

row() { # label "seconds mib" "peer_seconds peer_mib"
    python3 - "$@" <<'PY'
import sys
label, ours, peer = sys.argv[1], sys.argv[2].split(), sys.argv[3].split()
t, m = float(ours[0]), float(ours[1])
pt, pm = float(peer[0]), float(peer[1])
print(f"{label:<30} {t:8.3f} {pt:8.3f} {t / pt:7.2f} {m:8.1f} {pm:8.1f} {m / pm:7.2f}")
PY
}

printf '%-30s %8s %8s %7s %8s %8s %7s\n' page "lumo s" "peer s" ratio "lumo MiB" "peer MiB" ratio
declare -A ours
for page in text_1m.html text_5m.html tables_500.html images_500.html tiny.html; do
    dillo=$("$peers/dillo-time" "$work/pages/$page" "$runs")
    ours[$page]=$(lumo "file://$work/pages/$page")
    row "$page file:// / Dillo" "${ours[$page]}" "$dillo"
    if [ "$page" = images_500.html ]; then
        row "$page http:// / Dillo" "$(lumo "$base/$page")" "$dillo"
    fi
    if [ "$page" = tiny.html ]; then
        floor=$(median_of "$work" "$runs" "'$build/bench/program/bench_qt_floor' '$work/floor.png'")
        row "Qt floor / Dillo tiny" "$floor" "$dillo"
        row "tiny / Qt floor" "${ours[$page]}" "$floor"
    fi
done
echo
row "growth text 5 MB / 1 MB" "${ours[text_5m.html]}" "${ours[text_1m.html]}"
