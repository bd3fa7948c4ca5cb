# The Release build the benchmarks time, sourced by their scripts (run from
# the project's root). bench_build TARGET... configures $build once and
# builds the targets named, at low priority, printing only what fails.
build=build-bench

bench_build() {
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUMO_BENCH=ON \
        -DLUMO_TESTS=ON >/dev/null
    local log
    log=$(nice cmake --build "$build" --target "$@" 2>&1) || {
        printf '%s\n' "$log" >&2
        return 1
    }
}
