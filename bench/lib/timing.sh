# Timing the whole program, sourced by the benchmark scripts (run from the
# project's root, beside ../shared/peers).

# median_of WORK RUNS COMMAND -> "SECONDS MIB": the median wall time and peak
# memory of RUNS runs of COMMAND (one shell string), each with a fresh
# program folder WORK/home, so nothing comes from the cache.
median_of() {
    local work=$1 runs=$2 out line
    out=$(LUMO_HOME="$work/home" QT_QPA_PLATFORM=offscreen python3 ../shared/peers/quiesce.py \
        --runs "$runs" --label lumo -- /bin/sh -c "rm -rf '$work/home/Cache'; exec $3" 2>&1)
    line=$(printf '%s\n' "$out" | grep MEDIAN | tail -1)
    printf '%s %s\n' "$(printf '%s\n' "$line" | sed -n 's/.* time=\([0-9.]*\)s.*/\1/p')" \
        "$(printf '%s\n' "$line" | sed -n 's/.*hwm_root=\([0-9.]*\)MiB.*/\1/p')"
}

# lumo_shot WORK RUNS BUILD ADDRESS -> "SECONDS MIB" of `lumo --screenshot`
# at 800x600 from BUILD.
lumo_shot() {
    median_of "$1" "$2" "'$3/app/lumo' --screenshot '$1/shot.png' --size 800x600 --timeout 300 '$4'"
}
