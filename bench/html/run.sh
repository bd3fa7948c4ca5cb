#!/usr/bin/env bash
# Builds the HTML benchmarks (Release, build-bench/), generates the test pages
# and times the tokenizer beside libxml2's HTML parser on the same files, then
# style resolution for 250, 1,000 and 4,000 rules over 10,000 elements.
set -euo pipefail
cd "$(dirname "$0")/../.."
source bench/lib/build.sh
bench_build bench_html
pages="$build/pages"
mkdir -p "$pages"
[ -f "$pages/text_5m.html" ] || python3 ../shared/pages/gen.py all "$pages" >/dev/null
LUMO_BENCH_PAGES="$pages" "$build/bench/html/bench_html" \
    --benchmark_format=json --benchmark_out="$build/html_bench.json" --benchmark_out_format=json \
    --benchmark_repetitions="${REPETITIONS:-3}" --benchmark_report_aggregates_only=true >/dev/null
python3 - "$build/html_bench.json" <<'PY'
import json, sys
runs = {b["run_name"]: b for b in json.load(open(sys.argv[1]))["benchmarks"]
        if b.get("aggregate_name") == "median"}
print(f"{'page':<18}{'tokenizer MB/s':>16}{'libxml2 MB/s':>14}{'ratio':>8}")
for page in ("text_1m.html", "text_5m.html", "tables_500.html"):
    ours, peer = runs.get("Tokenize/" + page), runs.get("Libxml2/" + page)
    if not ours or not peer:
        continue
    a, b = ours["bytes_per_second"] / 1e6, peer["bytes_per_second"] / 1e6
    print(f"{page:<18}{a:>16.1f}{b:>14.1f}{a / b:>7.1f}x")
print()
for name, b in sorted(runs.items()):
    if name.startswith("BM_StyleResolve"):
        print(f"style resolution, {int(b['rules'])} rules x 10,000 elements: {b['real_time']:.1f} ms")
PY
