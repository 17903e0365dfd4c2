#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in their own build directory and runs
# each in turn, sharing the given number of seconds (default 60) among them. The
# first finding stops the run with a non-zero exit; its input is kept under
# $build/artifacts-<target>/.
# Usage: scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
build="${FUZZ_BUILD_DIR:-build-fuzz}"

# target:seed directory:longest input
targets=(
  "transport_reply_fuzz:transport:4096"
  "operations_answer_fuzz:operations:2048"
  "simulator_request_fuzz:simulator:4096"
  "fprcmd_input_fuzz:fprcmd:2048"
  "fprtap_decoder_fuzz:fprtap:4096"
)
share=$((seconds / ${#targets[@]}))
((share > 0)) || share=1

cmake -S . -B "$build" -G Ninja \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DFPR_BUILD_FUZZ=ON -DFPR_BUILD_TESTS=OFF -DFPR_BUILD_BENCH=OFF -DFPR_BUILD_CONSOLE=OFF
cmake --build "$build" --target "${targets[@]%%:*}" -j2

export ASAN_OPTIONS="${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

for entry in "${targets[@]}"; do
  IFS=: read -r target seeds maxlen <<<"$entry"
  # The seeds are copied into a scratch corpus so that the run never writes into the tree.
  corpus="$build/corpus-$seeds"
  artifacts="$build/artifacts-$target"
  mkdir -p "$corpus" "$artifacts"
  cp fuzz/seeds/"$seeds"/* "$corpus"/
  echo "== $target: $share s"
  "$build/fuzz/$target" -max_total_time="$share" -timeout=10 -rss_limit_mb=2048 \
    -max_len="$maxlen" -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus"
done
