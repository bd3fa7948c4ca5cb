#!/usr/bin/env bash
# Builds the layout benchmarks (Release, build-bench/), generates the test
# pages and times parse + build + layout at 800 pixels of the 100 KB, 1 MB
# and 5 MB pages beside libxml2's HTML parser reading the same bytes (the
# peer, from bench_html), painting an 800x600 window, and laying out again
# at another width; then the peak memory of one load of each page. Then the
# viewer widget on the 1 MB and 5 MB pages at 800x600: opening the file until
# the first screen is painted, a resize with its one layout and paint,
# painting the screen after scrolling one page, and a search through the
# whole document, each beside Qt's rich-text browser widget (QTextBrowser)
# doing the same in the same run. Last, laying out again 2x2 tables nested 1 to
# 12, 24 and 48 deep (each doubling of the depth should double the cost: linear in
# the depth) and a 5,000-row table. Last, pages of 10,000 form controls beside
# pages of 100: load and layout, painting after a scroll, and a submission.
set -euo pipefail
cd "$(dirname "$0")/../.."
source bench/lib/build.sh
bench_build bench_layout bench_html layout_driver bench_viewer bench_forms
pages="$build/pages"
mkdir -p "$pages"
[ -f "$pages/text_5m.html" ] || python3 ../shared/pages/gen.py all "$pages" >/dev/null
export QT_QPA_PLATFORM=offscreen LUMO_BENCH_PAGES="$pages"
reps="${REPETITIONS:-3}"
"$build/bench/layout/bench_layout" --benchmark_format=json --benchmark_out="$build/layout_bench.json" \
    --benchmark_out_format=json --benchmark_repetitions="$reps" \
    --benchmark_report_aggregates_only=true >/dev/null 2>&1
"$build/bench/html/bench_html" --benchmark_filter='Libxml2/text' --benchmark_format=json \
    --benchmark_out="$build/layout_peer.json" --benchmark_out_format=json \
    --benchmark_repetitions="$reps" --benchmark_report_aggregates_only=true >/dev/null 2>&1
"$build/bench/layout/bench_viewer" --benchmark_format=json --benchmark_out="$build/viewer_bench.json" \
    --benchmark_out_format=json --benchmark_repetitions="$reps" \
    --benchmark_report_aggregates_only=true >/dev/null 2>&1
"$build/bench/layout/bench_forms" --benchmark_format=json --benchmark_out="$build/forms_bench.json" \
    --benchmark_out_format=json --benchmark_repetitions="$reps" \
    --benchmark_report_aggregates_only=true >/dev/null 2>&1
for page in text_100k.html text_1m.html text_5m.html; do
    /usr/bin/time -f "%M" -o "$build/peak_$page.txt" \
        "$build/tests/layout/layout_driver" --width 800 "$pages/$page" >/dev/null 2>&1
done
python3 - "$build" <<'PY'
import json, os, sys
build = sys.argv[1]
def medians(path):
    return {b["run_name"]: b for b in json.load(open(path))["benchmarks"]
            if b.get("aggregate_name") == "median"}
ours, peer = medians(f"{build}/layout_bench.json"), medians(f"{build}/layout_peer.json")
def ms(b):
    scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b["time_unit"]]
    return b["real_time"] * scale
print(f"{'page':<16}{'build+layout ms':>16}{'fixed ms':>10}{'libxml2 ms':>12}{'ratio':>8}"
      f"{'paint us':>10}{'relayout ms':>13}{'peak MB':>9}")
base = None
for page in ("text_100k.html", "text_1m.html", "text_5m.html"):
    b, f, p = ours.get("Build/" + page), ours.get("BuildFixed/" + page), peer.get("Libxml2/" + page)
    paint, re = ours.get("Paint/" + page), ours.get("Relayout/" + page)
    if not b:
        continue
    peak = int(open(f"{build}/peak_{page}.txt").read().split()[-1]) / 1024
    ratio = f"{ms(b) / ms(p):.1f}x" if p else "-"
    print(f"{page:<16}{ms(b):>16.1f}{ms(f):>10.1f}{(ms(p) if p else 0):>12.1f}{ratio:>8}"
          f"{ms(paint) * 1000:>10.0f}{ms(re):>13.1f}{peak:>9.0f}")
b1, b5 = ours.get("Build/text_1m.html"), ours.get("Build/text_5m.html")
if b1 and b5:
    print(f"5 MB / 1 MB build+layout time: {ms(b5) / ms(b1):.2f} (linear is about 5)")
runs = medians(f"{build}/viewer_bench.json")
print()
print(f"{'viewer':<10}{'page':<15}{'viewer ms':>11}{'QTextBrowser ms':>17}{'ratio':>8}")
for job in ("Open", "Relayout", "Scroll", "Find"):
    for page in ("text_1m.html", "text_5m.html"):
        o, p = runs.get(f"{job}/{page}"), runs.get(f"Peer{job}/{page}")
        if not o:
            continue
        ratio = f"{ms(o) / ms(p):.2f}x" if p else "-"
        print(f"{job:<10}{page:<15}{ms(o):>11.2f}{(ms(p) if p else 0):>17.2f}{ratio:>8}")
depths = list(range(1, 13)) + [24, 48]
nested = {d: ours.get(f"NestedTables/{d}") for d in depths}
if all(nested.values()):
    print()
    print("layout of 2x2 tables nested d deep (fixed metrics), us: " +
          " ".join(f"{d}:{ms(nested[d]) * 1000:.0f}" for d in depths))
    for deep, shallow in ((12, 6), (24, 12), (48, 24)):
        print(f"depth {deep} / depth {shallow}: {ms(nested[deep]) / ms(nested[shallow]):.2f} "
              "(linear is about 2)")
rows = ours.get("TableRows/5000")
if rows:
    print(f"layout of a 5,000-row table (fixed metrics): {ms(rows):.1f} ms")
s1, s5 = runs.get("Scroll/text_1m.html"), runs.get("Scroll/text_5m.html")
if s1 and s5:
    print(f"one screen after scrolling, 5 MB / 1 MB: {ms(s5) / ms(s1):.2f} (1: independent of size)")
forms = medians(f"{build}/forms_bench.json")
print()
print(f"{'forms':<13}{'100 ms':>10}{'10,000 ms':>12}{'ratio':>8}")
for job in ("Load", "ScrollPaint", "Submit"):
    small, big = forms.get(f"{job}/100"), forms.get(f"{job}/10000")
    if small and big:
        print(f"{job:<13}{ms(small):>10.3f}{ms(big):>12.3f}{ms(big) / ms(small):>7.1f}x")
print("(100x the controls: load and submit grow about 100x, scroll and paint stay about 1x)")
PY
