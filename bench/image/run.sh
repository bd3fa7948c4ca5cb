#!/usr/bin/env bash
# Builds the image benchmarks (Release, build-bench/), makes the inputs once
# with ImageMagick and gifsicle (a 4000 x 4000 GIF still, a 256-frame
# 500 x 500 GIF animation and a 4000 x 3000 JPEG) and times our decoders
# beside giflib's DGifSlurp and plain libjpeg-turbo in the same run, with the
# peak memory of one decode by each, then colour reduction of 4000 x 3000.
set -euo pipefail
cd "$(dirname "$0")/../.."
source bench/lib/build.sh
bench_build bench_image
images="$build/images"
mkdir -p "$images"
if [ ! -f "$images/animation.gif" ]; then
    convert -seed 1 -size 4000x4000 plasma:fractal -blur 0x2 "$images/plasma.png"
    convert "$images/plasma.png" -colors 256 "$images/still.gif"
    convert "$images/plasma.png" -crop 4000x3000+0+0 -quality 90 "$images/photo.jpg"
    convert "$images/plasma.png" -resize 500x500 -colors 256 "$images/frame.gif"
    frames=()
    for i in $(seq 0 255); do
        convert "$images/frame.gif" -roll "+$((i * 2))+$i" "$images/frame$i.gif"
        frames+=("$images/frame$i.gif")
    done
    gifsicle --loopcount=0 -d 5 "${frames[@]}" > "$images/animation.gif"
    rm -f "$images"/frame*.gif "$images/plasma.png"
fi
LUMO_BENCH_IMAGES="$images" "$build/bench/image/bench_image" \
    --benchmark_format=json --benchmark_out="$build/image_bench.json" --benchmark_out_format=json \
    --benchmark_repetitions="${REPETITIONS:-5}" --benchmark_report_aggregates_only=true >/dev/null
peak() { # BENCHMARK FILE: the peak resident memory of one decode, in MB
    /usr/bin/time -f "%M" -o "$build/peak.txt" "$build/bench/image/bench_image" --once "$1" "$2"
    echo $(($(tail -n 1 "$build/peak.txt") / 1024))
}
python3 - "$build/image_bench.json" \
    "$(peak GifStill "$images/still.gif")" "$(peak GiflibStill "$images/still.gif")" \
    "$(peak GifStillPicture "$images/still.gif")" "$(peak GiflibStill "$images/still.gif")" \
    "$(peak GifAnimation "$images/animation.gif")" "$(peak GiflibAnimation "$images/animation.gif")" \
    "$(peak Jpeg "$images/photo.jpg")" "$(peak Libjpeg "$images/photo.jpg")" <<'PY'
import json, sys
runs = {b["run_name"]: b for b in json.load(open(sys.argv[1]))["benchmarks"]
        if b.get("aggregate_name") == "median"}
peaks = [int(p) for p in sys.argv[2:]]
print(f"{'decode (CPU time)':<34}{'ours ms':>9}{'peer ms':>9}{'ratio':>8}{'ours MB':>9}{'peer MB':>9}")
rows = [("GIF 4000x4000 still (giflib)", "GifStill", "GiflibStill"),
        ("  and its composed picture", "GifStillPicture", "GiflibStill"),
        ("GIF 256 x 500x500 frames (giflib)", "GifAnimation", "GiflibAnimation"),
        ("JPEG 4000x3000 (libjpeg-turbo)", "Jpeg", "Libjpeg")]
for i, (label, ours, peer) in enumerate(rows):
    # CPU time: the machine may be shared while the benchmark runs.
    a, b = runs[ours]["cpu_time"], runs[peer]["cpu_time"]
    print(f"{label:<34}{a:>9.1f}{b:>9.1f}{a / b:>7.2f}x{peaks[2 * i]:>9}{peaks[2 * i + 1]:>9}")
print(f"colour reduction 4000x3000: {runs['ColorReduction']['cpu_time']:.1f} ms")
PY
