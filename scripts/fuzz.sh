#!/usr/bin/env bash
# Builds the native fuzz targets (fuzz/CMakeLists.txt) into build/fuzz with clang and runs each
# for the given seconds (default 60) on its own corpus in build/fuzz/corpus/<target>, seeded with
# the stored corpus in fuzz/corpus/<target>. Fails when any target finds a crash, a sanitizer
# report, a broken invariant or a time-out.
#
# With --merge it fuzzes nothing: it merges each target's corpus in build/fuzz into the stored one
# and keeps only the inputs that add coverage (libFuzzer's -merge=1), ready to commit.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
merge=false
seconds=60
if [[ ${1:-} == --merge ]]; then
    merge=true
elif [[ -n ${1:-} ]]; then
    seconds=$1
fi
if ! [[ $seconds =~ ^[1-9][0-9]*$ ]] || (($# > 1)); then
    echo "usage: $0 [seconds]   (seconds per target, default 60)" >&2
    echo "       $0 --merge     (minimise build/fuzz's corpus into fuzz/corpus)" >&2
    exit 2
fi
build="$root/build/fuzz"
"$here/setup-machine.sh"   # clang and its fuzzing run-time come with the rest

generator=()
if command -v ninja >/dev/null; then
    generator=(-G Ninja)
fi
if [[ -f $build/CMakeCache.txt ]]; then
    generator=()   # keep the generator the tree was made with
fi
cmake -S "$root/fuzz" -B "$build" "${generator[@]}" \
    -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build"

mapfile -t targets < "$build/targets.txt"
mkdir -p "$build/corpus" "$build/artifacts" "$build/logs"

if $merge; then
    for target in "${targets[@]}"; do
        [[ -n $target ]] || continue
        stored="$root/fuzz/corpus/$target"
        merged="$build/merged/$target"
        rm -rf "$merged"
        mkdir -p "$merged" "$stored" "$build/corpus/$target"
        "$build/bin/$target" -merge=1 "$merged" "$stored" "$build/corpus/$target" \
            >"$build/logs/$target.merge.log" 2>&1
        rm -rf "$stored"
        mv "$merged" "$stored"
        echo "$target: $(find "$stored" -type f | wc -l) inputs, $(cat "$stored"/* | wc -c) bytes"
    done
    exit 0
fi

failed=()
for target in "${targets[@]}"; do
    [[ -n $target ]] || continue
    corpus="$build/corpus/$target"
    seeds=()
    if [[ -d $root/fuzz/corpus/$target ]]; then
        seeds=("$root/fuzz/corpus/$target")   # read, never written: new inputs go to $corpus
    fi
    log="$build/logs/$target.log"
    mkdir -p "$corpus"
    echo "== $target: ${seconds}s"
    # -artifact_prefix keeps crash inputs out of the caller's current directory.
    if "$build/bin/$target" -max_total_time="$seconds" -timeout=10 \
        -artifact_prefix="$build/artifacts/$target-" "$corpus" "${seeds[@]}" >"$log" 2>&1; then
        grep -E '^Done|^#[0-9]+.*DONE' "$log" | tail -n 1 || true
    else
        echo "!! $target failed; log: $log" >&2
        tail -n 40 "$log" >&2
        failed+=("$target")
    fi
done

if ((${#failed[@]})); then
    echo "Findings in: ${failed[*]} (inputs in $build/artifacts)" >&2
    exit 1
fi
echo "All ${#targets[@]} fuzz targets ran ${seconds}s without a finding."
