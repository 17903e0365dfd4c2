#!/usr/bin/env bash
# Builds the transport reply fuzz target with clang in its own build directory
# and runs it for the given number of seconds (default 60).
# Usage: scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
build="${FUZZ_BUILD_DIR:-build-fuzz}"

cmake -S . -B "$build" -G Ninja \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DFPR_BUILD_FUZZ=ON -DFPR_BUILD_TESTS=OFF -DFPR_BUILD_BENCH=OFF -DFPR_BUILD_CONSOLE=OFF
cmake --build "$build" --target transport_reply_fuzz -j2

# The seeds are copied into a scratch corpus so that the run never writes into the tree.
corpus="$build/corpus-transport"
mkdir -p "$corpus"
cp fuzz/seeds/transport/* "$corpus"/

export ASAN_OPTIONS="${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
"$build/fuzz/transport_reply_fuzz" -max_total_time="$seconds" -timeout=10 \
  -rss_limit_mb=2048 -max_len=4096 -print_final_stats=1 "$corpus"
