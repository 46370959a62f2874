#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a short while
# (seconds per target: first argument, default 20), starting from the seed
# corpus that make_fuzz_seeds writes (real packages and picture sets).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-20}"
cmake --preset fuzz
cmake --build --preset fuzz --target fuzz_package_reader fuzz_picture_joiner make_fuzz_seeds
seeds=build/fuzz/seeds
rm -rf "$seeds"
build/fuzz/fuzz/make_fuzz_seeds "$seeds"
for target in build/fuzz/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name="$(basename "$target")"
  corpus="build/fuzz/corpus/$name"
  mkdir -p "$corpus"
  echo "fuzzing $name for ${seconds}s from $(ls "$seeds/$name" | wc -l) seeds"
  # New finds go to the first folder; the seeds are only read.
  "$target" -max_total_time="$seconds" -print_final_stats=1 "$corpus" "$seeds/$name" 2>&1 | tail -4
done
