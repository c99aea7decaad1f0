#!/usr/bin/env bash
# tools/fuzz.sh [SECONDS]
# Builds the RTF reader's libFuzzer targets with clang (CMake, into
# build-fuzz/, with QUORVEL_FUZZ), replays every input kept under
# tests/rtf/fuzz/<target>/, then fuzzes each target for SECONDS (60 by
# default). New interesting inputs stay in build-fuzz/corpus-<target>; an
# input that breaks a target is left in build-fuzz/ and ends the run with an
# error: fix the fault, then keep the input under tests/rtf/fuzz/<target>/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
out=build-fuzz
mkdir -p "$out"

# A build of its own, with clang: the reader and the targets only.
CXX=${CXX_FUZZ:-clang++-14}
command -v "$CXX" >/dev/null || CXX=clang++
if [ ! -f "$out/build.ninja" ]; then
    cmake -S . -B "$out" -G Ninja -DCMAKE_CXX_COMPILER="$CXX" -DQUORVEL_FUZZ=ON > "$out/configure.log" \
        || { cat "$out/configure.log"; exit 1; }
fi
build() {  # target
    echo "building $out/$1"
    cmake --build "$out" --target "$1" > "$out/$1-build.log" || { cat "$out/$1-build.log"; exit 1; }
}

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export QT_QPA_PLATFORM=offscreen
XDG_RUNTIME_DIR=$(mktemp -d)
export XDG_RUNTIME_DIR
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT

status=0
for target in FuzzRead FuzzWriteRead; do
    build $target
    case $target in FuzzRead) kept=tests/rtf/fuzz/read ;; *) kept=tests/rtf/fuzz/roundtrip ;; esac
    # Kept inputs first: each must pass on its own.
    if compgen -G "$kept/*" >/dev/null; then
        "$out/$target" -runs=0 "$kept"/* 2>"$out/$target-replay.log" \
            || { echo "$target: a kept input fails (see $out/$target-replay.log)"; status=1; continue; }
        echo "$target: the inputs kept in $kept pass"
    fi
    [ "$seconds" -gt 0 ] || continue
    corpus=$out/corpus-$target
    mkdir -p "$corpus"
    seeds=()
    for d in tests/rtf/files "$kept" ../shared/corpus/rtf; do
        [ -d "$d" ] && seeds+=("$d")
    done
    if "$out/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
        -artifact_prefix="$out/$target-" -print_final_stats=1 "$corpus" "${seeds[@]}" >"$out/$target.log" 2>&1; then
        echo "$target: $(grep -E '^stat::number_of_executed_units' "$out/$target.log" | awk '{print $2}') executions in ${seconds}s, no finding"
    else
        echo "$target: a finding, see $out/$target.log and $out/$target-*"
        tail -40 "$out/$target.log"
        status=1
    fi
done
exit $status
