#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a short while
# (seconds per target: first argument, default 20).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-20}"
cmake --preset fuzz
cmake --build --preset fuzz --target fuzz_package_reader fuzz_picture_joiner
for target in build/fuzz/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  corpus="build/fuzz/corpus/$(basename "$target")"
  mkdir -p "$corpus"
  echo "fuzzing $(basename "$target") for ${seconds}s"
  "$target" -max_total_time="$seconds" -print_final_stats=1 "$corpus" 2>&1 | tail -4
done
