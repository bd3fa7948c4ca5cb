#!/usr/bin/env bash
# The whole program beside Dillo, from process start to the page drawn:
# bench/program/run.sh [RUNS]
#
# `lumo --screenshot` at 800x600 (until the PNG is written) and Dillo
# rendering the same page (../shared/peers/dillo-time: until it goes quiet,
# under its own Xvfb with a dead proxy), median of RUNS (default 3) each,
# wall time and peak resident memory, with our figure over Dillo's:
#   text 1 MB, text 5 MB and the 500-table page from ../shared/pages/gen.py;
#   a page of 500 small GIFs from disk, and from a local nginx for both
#   (Dillo through bench/program/dillo-http.sh, with no proxy);
#   a tiny page, beside the floor Qt alone sets (bench_qt_floor: an empty
#   window grabbed and written as PNG), which no Qt program goes under.
# Right of the bar, what each page costs over its program's own floor
# (ours less bench_qt_floor, Dillo's less its tiny page, both measured in
# this run) and the ratio of those costs. Then how our cost grows from text
# 1 MB to text 5 MB, and the peak memory per byte of the text pages.
set -euo pipefail
cd "$(dirname "$0")/../.."
runs="${1:-3}"
peers=../shared/peers
source bench/lib/build.sh
bench_build lumo bench_qt_floor

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

# row LABEL "SECONDS MIB" "PEER_SECONDS PEER_MIB" ["FLOOR" "PEER_FLOOR"]: both
# figures and their ratio, then, given the floors, each program's cost over
# its own floor and the ratio of those.
row() {
    python3 - "$@" <<'PY'
import sys
label, figures = sys.argv[1], [list(map(float, a.split())) for a in sys.argv[2:]]
(t, m), (pt, pm) = figures[0], figures[1]
def ratio(a, b):
    return f"{a / b:7.2f}" if b > 0 else f"{'-':>7}"
line = f"{label:<40} {t:7.3f} {pt:7.3f} {ratio(t, pt)} {m:7.1f} {pm:7.1f} {ratio(m, pm)}"
if len(figures) == 4:
    (ft, fm), (pft, pfm) = figures[2], figures[3]
    ot, om, pot, pom = t - ft, m - fm, pt - pft, pm - pfm
    line += f" | {ot:7.3f} {pot:7.3f} {ratio(ot, pot)} {om:7.1f} {pom:7.1f} {ratio(om, pom)}"
print(line)
PY
}

# minus "SECONDS MIB" "FLOOR": the figures less the floor's.
minus() {
    python3 -c 'import sys; a, f = [x.split() for x in sys.argv[1:]]; print(float(a[0]) - float(f[0]), float(a[1]) - float(f[1]))' "$1" "$2"
}

# per_byte LABEL FILE "SECONDS MIB" "FLOOR": peak memory per byte of the page,
# whole and over the floor.
per_byte() {
    python3 - "$1" "$(stat -c %s "$2")" "$3" "$4" <<'PY'
import sys
label, size = sys.argv[1], int(sys.argv[2])
m, fm = float(sys.argv[3].split()[1]), float(sys.argv[4].split()[1])
print(f"{label:<40} {m * 2**20 / size:7.1f} {(m - fm) * 2**20 / size:7.1f}")
PY
}

# Both floors first, in the same run as the pages: Qt's empty window for us,
# the tiny page for Dillo.
floor=$(median_of "$work" "$runs" "'$build/bench/program/bench_qt_floor' '$work/floor.png'")
dillo_floor=$("$peers/dillo-time" "$work/pages/tiny.html" "$runs")

printf '%-40s %7s %7s %7s %7s %7s %7s | %7s %7s %7s %7s %7s %7s\n' page \
    "lumo s" "peer s" ratio "lumo M" "peer M" ratio "+lumo s" "+peer s" ratio "+lumo M" "+peer M" ratio
declare -A ours
for page in text_1m.html text_5m.html tables_500.html images_500.html tiny.html; do
    dillo=$("$peers/dillo-time" "$work/pages/$page" "$runs")
    ours[$page]=$(lumo "file://$work/pages/$page")
    # The tiny page is Dillo's floor: nothing to take off it.
    if [ "$page" = tiny.html ]; then
        row "$page file:// / Dillo" "${ours[$page]}" "$dillo"
    else
        row "$page file:// / Dillo" "${ours[$page]}" "$dillo" "$floor" "$dillo_floor"
    fi
    if [ "$page" = images_500.html ]; then
        row "$page http:// / Dillo http://" "$(lumo "$base/$page")" \
            "$(bench/program/dillo-http.sh "$base/$page" "$runs")" "$floor" "$dillo_floor"
    fi
done
row "Qt floor / Dillo tiny" "$floor" "$dillo_floor"
row "tiny / Qt floor" "${ours[tiny.html]}" "$floor"
echo
row "growth text 5 MB / 1 MB" "${ours[text_5m.html]}" "${ours[text_1m.html]}"
row "growth over the floor 5 MB / 1 MB" "$(minus "${ours[text_5m.html]}" "$floor")" \
    "$(minus "${ours[text_1m.html]}" "$floor")"
echo
printf '%-40s %7s %7s\n' "peak memory per byte of input" whole "+floor"
for page in text_1m.html text_5m.html; do
    per_byte "$page" "$work/pages/$page" "${ours[$page]}" "$floor"
done
