#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer, AddressSanitizer and UBSan (in build-fuzz/,
# or build-fuzz-qt6/ with VORN_QT_MAJOR=6) and runs each for SECONDS (default 60), starting
# from its corpus in tests/fuzz/corpus/; then the configuration target without sanitizers
# (build-fuzz-plain/, build-fuzz-plain-qt6/) for SECONDS / 4.
# On a finding it prints the reproducing input and exits non-zero after the last target.
#   scripts/fuzz.sh [SECONDS]
#   scripts/fuzz.sh --merge      adds what the last runs found and the corpus lacks to it
#   scripts/fuzz.sh --seeds      regenerates the seed corpora from the golden traces
#   scripts/fuzz.sh --coverage   line coverage of src/ that the message corpus reaches
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/scripts/qtversion.sh"
fuzz_build="$root/build-fuzz$qt_suffix"
targets=(messages tbarsegment configfiles inidocument trace)
traces=("$root"/tests/keyboard-sim/traces/*.trace "$root/tools/keyboard-sim/demo.trace")

# Builds the targets in a build folder; extra arguments go to cmake.
build() {
    local dir="$1"
    shift
    cmake -S "$root" -B "$dir" "$qt_cmake" "$@" >/dev/null
    cmake --build "$dir" -j 2 --target "${targets[@]/#/fuzz_}" >/dev/null
}

build_fuzz() {
    "$root/scripts/install-deps.sh"
    build "$fuzz_build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
        -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" -DVORN_FUZZ=ON
}

# Runs a target binary as a copy in a scratch folder of its own: that folder is its
# application directory (configuration files) and holds its TMPDIR (T-bar segment key).
# It lies on /dev/shm where there is one, as the processor syncs its files on every change.
# Allocation stacks keep one frame: unwinding through Qt, built without frame pointers,
# yields ever new stacks that AddressSanitizer keeps for good, until the memory limit.
scratch=""
run_target() {
    local binary="$1" copy
    shift
    if [ -z "$scratch" ]; then
        scratch="$(mktemp -d "$([ -w /dev/shm ] && echo /dev/shm || echo "${TMPDIR:-/tmp}")/vorn-fuzz.XXXXXX")"
        trap 'rm -rf "$scratch"' EXIT
    fi
    copy="$scratch/$(basename "$binary")/$(basename "$binary")"
    mkdir -p "$(dirname "$copy")/tmp"
    cp "$binary" "$copy"
    TMPDIR="$(dirname "$copy")/tmp" ASAN_OPTIONS=malloc_context_size=1 \
        UBSAN_OPTIONS=print_stacktrace=1 "$copy" "$@"
}

# Runs a target of a build folder for SECONDS; a finding is kept in the target's run/
# folder and printed.
fuzz_target() {
    local build="$1" target="$2" seconds="$3" dir run
    dir="$build/tests/fuzz/fuzz_$target"
    run="$dir/run"
    rm -rf "$run"/crash-* "$run"/leak-* "$run"/timeout-* "$run"/oom-*
    mkdir -p "$run/corpus"
    echo "== fuzz_$target for ${seconds}s ($(basename "$build"))"
    # New inputs go to the first folder, never into the committed corpus.
    if ! run_target "$dir/fuzz_$target" -max_total_time="$seconds" -timeout=30 \
        -artifact_prefix="$run/" -print_final_stats=1 "$run/corpus" \
        "$root/tests/fuzz/corpus/$target" >"$run/log" 2>&1; then
        grep -v '^stat::' "$run/log" | tail -n 60
        for input in "$run"/crash-* "$run"/leak-* "$run"/timeout-* "$run"/oom-*; do
            [ -e "$input" ] || continue
            echo "== reproducing input $input (add it to tests/fuzz/corpus/$target/;"
            echo "   build-sanitize$qt_suffix/tests/fuzz/fuzz_$target/fuzz_$target FILE replays it):"
            od -A x -t x1z -v "$input"
        done
        return 1
    fi
    grep -E '^#[0-9]+[[:space:]]+DONE|^stat::(number_of_executed_units|average_exec_per_sec)' \
        "$run/log" || true
}

# Runs every target, then the configuration target for a quarter of the time without
# sanitizers: there Qt throws std::bad_alloc for an allocation a sanitizer reports, and an
# exception nothing catches ends the run as a finding.
fuzz() {
    local seconds="$1" failed=0
    build_fuzz
    for target in "${targets[@]}"; do
        fuzz_target "$fuzz_build" "$target" "$seconds" || failed=1
    done
    local targets=(configfiles)
    build "$root/build-fuzz-plain$qt_suffix" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
        -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" -DVORN_FUZZ=ON -DVORN_FUZZ_SANITIZERS=OFF
    fuzz_target "$root/build-fuzz-plain$qt_suffix" configfiles "$(( (seconds + 3) / 4 ))" || failed=1
    return "$failed"
}

merge() {
    build_fuzz
    for target in "${targets[@]}"; do
        local dir="$fuzz_build/tests/fuzz/fuzz_$target"
        mkdir -p "$dir/run/corpus"
        run_target "$dir/fuzz_$target" -merge=1 -use_counters=0 "$root/tests/fuzz/corpus/$target" \
            "$dir/run/corpus" 2>&1 | grep -E '^MERGE-OUTER: [0-9]+ new files'
    done
}

seeds() {
    "$root/scripts/install-deps.sh"
    cmake -S "$root" -B "$root/build$qt_suffix" "$qt_cmake" >/dev/null
    cmake --build "$root/build$qt_suffix" -j 2 --target fuzz-seeds >/dev/null
    "$root/build$qt_suffix/tools/fuzz-seeds/fuzz-seeds" "$root/tests/fuzz/corpus" "${traces[@]}"
}

# The corpus driver on the message corpus (and what the last runs added), built with
# source-based coverage; reports src/ and the intake lines that never ran.
coverage() {
    "$root/scripts/install-deps.sh" llvm
    local dir="$root/build-coverage$qt_suffix" profile corpora=("$root/tests/fuzz/corpus/messages")
    build "$dir" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
        -DCMAKE_CXX_FLAGS="-fprofile-instr-generate -fcoverage-mapping"
    [ -d "$fuzz_build/tests/fuzz/fuzz_messages/run/corpus" ] \
        && corpora+=("$fuzz_build/tests/fuzz/fuzz_messages/run/corpus")
    profile="$dir/tests/fuzz/fuzz_messages/messages"
    LLVM_PROFILE_FILE="$profile.profraw" run_target "$dir/tests/fuzz/fuzz_messages/fuzz_messages" \
        "${corpora[@]}" 2>/dev/null
    llvm-profdata merge -sparse "$profile.profraw" -o "$profile.profdata"
    local cov=(-instr-profile="$profile.profdata" "$dir/src/libUI_Proc_VORN_TaskCmdProcess_Desktop.so")
    llvm-cov report "${cov[@]}" "$root/src"
    echo "== lines of the intake and the key tables never run"
    llvm-cov show "${cov[@]}" "$root"/src/intake/*.cpp \
        | awk -F'|' '/^\/.*:$/ { file = $0 } $2 ~ /^ *0$/ { sub(/^ +/, "", $1); print file $1 ":" $3 }' \
        | sed "s|^$root/||"
}

case "${1:-}" in
--merge) merge ;;
--seeds) seeds ;;
--coverage) coverage ;;
*) fuzz "${1:-60}" ;;
esac
