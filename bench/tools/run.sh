#!/usr/bin/env bash
# Extraction beside Info-ZIP's "unzip -q" in the same run: bench/tools/run.sh
# Makes an archive of one 1 GiB member and one of 20,000 small members in a
# temporary folder (BENCH_DIR, else TMPDIR or /tmp; the target folders go
# there too), then times "lumo --unzip" and "unzip -q" extracting each into a
# fresh folder, alternating, RUNS times (default 5), and prints the medians
# of wall and processor time and their ratios. Then the unzip window on the
# same archives: its median time beside unzip's, and its updates per second.
set -euo pipefail
cd "$(dirname "$0")/../.."
source bench/lib/build.sh
bench_build lumo bench_unzip_window
runs="${RUNS:-5}"
work="$(mktemp -d "${BENCH_DIR:-${TMPDIR:-/tmp}}/lumo-unzip-bench.XXXXXX")"
trap 'rm -rf "$work"' EXIT

echo "making the archives in $work ..."
python3 - "$work" <<'PY'
import os, random, sys
work = sys.argv[1]
r = random.Random(1)
words = [''.join(r.choice('abcdefghijklmnopqrstuvwxyz') for _ in range(r.randint(2, 9)))
         for _ in range(5000)]
def text(n):
    out, size = [], 0
    while size < n:
        w = r.choice(words)
        out.append(w)
        size += len(w) + 1
    return ' '.join(out)[:n]
# 1 GiB of text: 64 MiB of words, sixteen times (far beyond deflate's window).
piece = text(64 << 20).encode()
with open(os.path.join(work, 'big.txt'), 'wb') as f:
    for _ in range(16):
        f.write(piece)
for i in range(20000):
    folder = os.path.join(work, 'small', 'd%03d' % (i // 200))
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, 'f%05d.txt' % i), 'w') as f:
        f.write(text(r.randint(100, 8000)))
PY
(cd "$work" && zip -q big.zip big.txt && rm big.txt && zip -q -r small.zip small && rm -rf small)

python3 - "$work" "$build/app/lumo" "$runs" <<'PY' | tee "$work/times.txt"
import os, shutil, statistics, subprocess, sys, time
work, lumo, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
tools = {'lumo': lambda a, t: [lumo, '--unzip', a, t],
         'unzip': lambda a, t: ['unzip', '-q', a, '-d', t]}
# Wall time is the target; processor time (user + system) moves less when
# the machine is shared.
print(f"{'archive':<12}{'lumo s':>9}{'unzip s':>9}{'lumo/unzip':>12}"
      f"{'cpu lumo':>10}{'cpu unzip':>11}{'ratio':>7}")
for name in ('big.zip', 'small.zip'):
    archive = os.path.join(work, name)
    wall = {tool: [] for tool in tools}
    cpu = {tool: [] for tool in tools}
    # Each run writes into a folder of its own: removing 20,000 files just
    # before a run slows the file creation of the next by seconds, for
    # whichever tool comes then. The folders go after the archive's last run.
    # The first round warms the caches and is not counted.
    for run in range(runs + 1):
        order = list(tools) if run % 2 == 0 else list(reversed(tools))
        for tool in order:
            target = os.path.join(work, f'out-{tool}-{run}')
            os.sync()
            start = time.monotonic()
            child = subprocess.Popen(tools[tool](archive, target), stdout=subprocess.DEVNULL)
            _, status, usage = os.wait4(child.pid, 0)
            if run > 0:
                wall[tool].append(time.monotonic() - start)
                cpu[tool].append(usage.ru_utime + usage.ru_stime)
            if os.waitstatus_to_exitcode(status) != 0:
                sys.exit(f"{tool} failed on {name}")
            if name == 'big.zip':
                shutil.rmtree(target)  # one file: cheap to remove, costly to keep
    for run in range(runs + 1):
        for tool in tools:
            shutil.rmtree(os.path.join(work, f'out-{tool}-{run}'), ignore_errors=True)
    w = {tool: statistics.median(times) for tool, times in wall.items()}
    c = {tool: statistics.median(times) for tool, times in cpu.items()}
    print(f"{name:<12}{w['lumo']:>9.2f}{w['unzip']:>9.2f}{w['lumo'] / w['unzip']:>12.2f}"
          f"{c['lumo']:>10.2f}{c['unzip']:>11.2f}{c['lumo'] / c['unzip']:>7.2f}")
PY

QT_QPA_PLATFORM=offscreen LUMO_BENCH_ARCHIVES="$work/big.zip:$work/small.zip" \
    "$build/bench/tools/bench_unzip_window" --benchmark_format=json \
    --benchmark_out="$work/window.json" --benchmark_out_format=json \
    --benchmark_repetitions="$runs" --benchmark_report_aggregates_only=true >/dev/null
python3 - "$work/window.json" "$work/times.txt" <<'PY'
import json, sys
medians = {b["run_name"].split("/")[1]: b for b in json.load(open(sys.argv[1]))["benchmarks"]
           if b.get("aggregate_name") == "median"}
# unzip's wall time from the table above
peer = {line.split()[0]: float(line.split()[2]) for line in open(sys.argv[2]).readlines()[1:]}
print(f"{'window':<12}{'window s':>9}{'unzip s':>9}{'ratio':>12}{'updates/s':>11}")
for name in ('big.zip', 'small.zip'):
    b = medians[name]
    seconds = b["real_time"] / 1000
    print(f"{name:<12}{seconds:>9.2f}{peer[name]:>9.2f}{seconds / peer[name]:>12.2f}"
          f"{b['updates_per_s']:>11.1f}")
PY
