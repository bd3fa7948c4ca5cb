#!/usr/bin/env bash
# Builds the print benchmarks (Release, build-bench/) and generates a text
# page of about 4 MB, over 1,000 printed pages. Times printing its page 1,
# 100 and 1,000 into a PDF (each job lays the whole copy out and cuts the
# pages before the one asked without drawing them), then one preview of all
# its pages with its time and peak memory. Then lumo --print-pdf of the 1 MB
# text page beside wkhtmltopdf printing the same file in the same run (both
# start a process, load the page and write an A4 PDF), and the ratio.
set -euo pipefail
cd "$(dirname "$0")/../.."
source bench/lib/build.sh
bench_build bench_print print_preview_run lumo
pages="$build/pages"
mkdir -p "$pages"
[ -f "$pages/text_1m.html" ] || python3 ../shared/pages/gen.py all "$pages" >/dev/null
[ -f "$pages/text_4m.html" ] || python3 ../shared/pages/gen.py text --size 4M -o "$pages/text_4m.html"
export QT_QPA_PLATFORM=offscreen
reps="${REPETITIONS:-3}"
LUMO_BENCH_PAGE="$pages/text_4m.html" "$build/bench/print/bench_print" --benchmark_format=json \
    --benchmark_out="$build/print_bench.json" --benchmark_out_format=json \
    --benchmark_repetitions="$reps" --benchmark_report_aggregates_only=true >/dev/null 2>&1
/usr/bin/time -f "%M" -o "$build/preview_peak.txt" \
    "$build/bench/print/print_preview_run" "$pages/text_4m.html" >"$build/preview_run.txt" 2>/dev/null
command -v wkhtmltopdf >/dev/null || { echo "wkhtmltopdf is not installed (scripts/install-deps.sh)"; exit 1; }
python3 - "$build" "$pages/text_1m.html" "$reps" <<'PY'
import json, os, resource, statistics, subprocess, sys, tempfile, time
build, page, reps = sys.argv[1], sys.argv[2], int(sys.argv[3])
runs = {b["run_name"]: b for b in json.load(open(f"{build}/print_bench.json"))["benchmarks"]
        if b.get("aggregate_name") == "median"}
def ms(b, key="real_time"):
    return b[key] * {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b["time_unit"]]
print(f"{'printing one page of text_4m.html':<36}{'ms':>8}{'cpu ms':>8}{'/ page 1':>10}")
first = runs.get("PrintPage/1")
for n in (1, 100, 1000):
    b = runs.get(f"PrintPage/{n}")
    if b:
        print(f"{'page ' + str(n):<36}{ms(b):>8.0f}{ms(b, 'cpu_time'):>8.0f}"
              f"{ms(b, 'cpu_time') / ms(first, 'cpu_time'):>10.2f}")
pages, seconds = open(f"{build}/preview_run.txt").read().split()
peak = int(open(f"{build}/preview_peak.txt").read().split()[-1]) / 1024
print(f"preview of all {pages} pages: {float(seconds) * 1000:.0f} ms, peak memory {peak:.0f} MB")
print()
home = tempfile.mkdtemp()
env = dict(os.environ, LUMO_HOME=home)
def timed(command):
    # Wall time, and the processor time of the process (user and system),
    # which a busy machine changes less.
    walls, cpus = [], []
    for _ in range(reps):
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        start = time.perf_counter()
        subprocess.run(command, check=True, env=env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        walls.append(time.perf_counter() - start)
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        cpus.append(after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime)
    return statistics.median(walls) * 1000, statistics.median(cpus) * 1000
ours, ours_cpu = timed([f"{build}/app/lumo", "--print-pdf", f"{home}/lumo.pdf", page])
peer, peer_cpu = timed(["wkhtmltopdf", "-q", page, f"{home}/peer.pdf"])
def page_count(pdf):
    out = subprocess.run(["pdfinfo", pdf], capture_output=True, text=True).stdout
    return next((l.split()[-1] for l in out.splitlines() if l.startswith("Pages:")), "?")
print(f"{'text_1m.html to PDF':<22}{'ms':>8}{'cpu ms':>8}{'pages':>8}")
print(f"{'lumo --print-pdf':<22}{ours:>8.0f}{ours_cpu:>8.0f}{page_count(home + '/lumo.pdf'):>8}")
print(f"{'wkhtmltopdf':<22}{peer:>8.0f}{peer_cpu:>8.0f}{page_count(home + '/peer.pdf'):>8}")
print(f"ratio lumo / wkhtmltopdf: {ours / peer:.2f} (wall), {ours_cpu / peer_cpu:.2f} (cpu)")
PY
