#!/usr/bin/env bash
# Runs fuzz targets to their execution counts, one after another, and prints
# one table row per target for docs/robustness.md.
#
#   fuzz/run.sh FUZZ_BUILD SEEDS WORK [target...]    (default: all six)
#
# RUNS=N overrides the execution count, to continue a run that stopped short
# from its corpus.
#
# SEEDS is what fuzz/make_seeds.sh wrote; WORK keeps each target's growing
# corpus (WORK/corpus/NAME), its log and any crash input (WORK/crash/NAME).
# The targets' own output is closed off (-close_fd_mask=3): the readers print
# a warning for most odd inputs, which would otherwise cost more time than
# the parsing. Crash reports still reach the log. A small quarantine and no
# fill of new blocks keep ASan from touching fresh pages for every one of the
# many small events and vertices an input makes; an input that runs for ten
# seconds counts as a hang.
set -u
export ASAN_OPTIONS=quarantine_size_mb=16:max_malloc_fill_size=0
build=$1 seeds=$2 work=$3
shift 3
dicts=$(cd "$(dirname "$0")" && pwd)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(bzobj mtl obj markers midi texture)

# name: executions, input size cap, dictionary
settings() {
    case $1 in
        markers) echo 10000000 4096 markers.dict ;;
        midi) echo 10000000 4096 midi.dict ;;
        obj) echo 10000000 4096 obj.dict ;;
        mtl) echo 10000000 4096 mtl.dict ;;
        bzobj) echo 10000000 16384 - ;;
        texture) echo 1000000 8192 - ;;
        *) echo "fuzz/run.sh: unknown target $1" >&2; exit 2 ;;
    esac
}

echo "| Target | Executions | Time | Corpus | Coverage (edges) | Findings |"
echo "|---|---|---|---|---|---|"
for name in "${targets[@]}"; do
    read -r runs max_len dict < <(settings "$name")
    runs=${RUNS:-$runs}
    corpus=$work/corpus/$name crash=$work/crash/$name log=$work/$name.log
    mkdir -p "$corpus" "$crash"
    args=(-runs="$runs" -max_len="$max_len" -timeout=10 -close_fd_mask=3 -print_final_stats=1
        -artifact_prefix="$crash/")
    [ "$dict" = - ] || args+=(-dict="$dicts/$dict")
    t0=$SECONDS
    "$build/bin/${name}_fuzz" "${args[@]}" "$corpus" "$seeds/$name" > "$log" 2>&1
    rc=$?
    executions=$(awk '/stat::number_of_executed_units/ {print $2}' "$log")
    edges=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
    findings=$(find "$crash" -type f | wc -l)
    [ $rc -eq 0 ] || findings="$findings (exit $rc, see $log)"
    printf '| %s_fuzz (max_len %s) | %s | %s s | %s files, %s | %s | %s |\n' "$name" "$max_len" \
        "$executions" $((SECONDS - t0)) "$(find "$corpus" -type f | wc -l)" \
        "$(du -sh "$corpus" | cut -f1)" "$edges" "$findings"
done
