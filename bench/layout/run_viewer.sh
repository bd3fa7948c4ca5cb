#!/usr/bin/env bash
# Builds the viewer benchmark (Release, build-bench/), generates the test
# pages and times, for the 1 MB and 5 MB pages at 800x600: opening the file
# until the first screen is painted, a resize with its one layout and paint,
# painting the screen after scrolling one page, and a search through the whole
# document, each beside Qt's rich-text browser widget (QTextBrowser) doing the
# same in the same run.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=build-bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUMO_BENCH=ON -DLUMO_TESTS=ON >/dev/null
cmake --build "$build" --target bench_viewer
pages="$build/pages"
mkdir -p "$pages"
[ -f "$pages/text_5m.html" ] || python3 ../shared/pages/gen.py all "$pages" >/dev/null
export QT_QPA_PLATFORM=offscreen LUMO_BENCH_PAGES="$pages"
reps="${REPETITIONS:-3}"
"$build/bench/layout/bench_viewer" --benchmark_format=json --benchmark_out="$build/viewer_bench.json" \
    --benchmark_out_format=json --benchmark_repetitions="$reps" \
    --benchmark_report_aggregates_only=true >/dev/null 2>&1
python3 - "$build" <<'PY'
import json, sys
build = sys.argv[1]
runs = {b["run_name"]: b for b in json.load(open(f"{build}/viewer_bench.json"))["benchmarks"]
        if b.get("aggregate_name") == "median"}
def ms(b):
    return b["real_time"] * {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b["time_unit"]]
print(f"{'job':<10}{'page':<15}{'viewer ms':>11}{'QTextBrowser ms':>17}{'ratio':>8}")
for job in ("Open", "Relayout", "Scroll", "Find"):
    for page in ("text_1m.html", "text_5m.html"):
        ours, peer = runs.get(f"{job}/{page}"), runs.get(f"Peer{job}/{page}")
        if not ours:
            continue
        ratio = f"{ms(ours) / ms(peer):.2f}x" if peer else "-"
        print(f"{job:<10}{page:<15}{ms(ours):>11.2f}{(ms(peer) if peer else 0):>17.2f}{ratio:>8}")
s1, s5 = runs.get("Scroll/text_1m.html"), runs.get("Scroll/text_5m.html")
if s1 and s5:
    print(f"one screen after scrolling, 5 MB / 1 MB: {ms(s5) / ms(s1):.2f} (1 means no dependence on size)")
PY
