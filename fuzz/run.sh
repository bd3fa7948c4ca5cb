#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given number
# of seconds (default 60): fuzz/run.sh 20, or fuzz/run.sh 600 fuzz_cookie_file
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
only="${2:-}"
[ "$seconds" -gt 0 ] || exit 0

build=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMO_FUZZ=ON -DLUMO_TESTS=OFF >/dev/null
cmake --build "$build"

source scripts/sanitizer-env.sh
failed=0
for seeds in "$build"/fuzz/*/*.seeds; do
    [ -e "$seeds" ] || continue
    name="$(basename "$seeds" .seeds)"
    [ -z "$only" ] || [ "$only" = "$name" ] || continue
    binary="$(dirname "$seeds")/$name"
    work="$(mktemp -d)"
    dirs=()
    while IFS= read -r d; do
        [ -n "$d" ] && [ -d "$d" ] && dirs+=("$d")
    done < "$seeds"
    echo "== $name: ${seconds}s"
    # Crash inputs and the targets' own files stay beside the work folder,
    # never in the checkout.
    mkdir -p "$work.files"
    if ! LUMO_FUZZ_FILES="$work.files" "$binary" -max_total_time="$seconds" -timeout=10 \
            -rss_limit_mb=2048 -print_final_stats=0 -artifact_prefix="$work.files/" \
            "$work" "${dirs[@]}" > "$work.log" 2>&1; then
        tail -n 60 "$work.log"
        echo "== $name FAILED (log: $work.log, inputs: $work.files)"
        failed=1
    else
        grep -E '^#[0-9]+.*DONE' "$work.log" | tail -n 1 || true
        rm -rf "$work" "$work.log" "$work.files"
    fi
done
exit $failed
