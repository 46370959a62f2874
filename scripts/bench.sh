#!/usr/bin/env bash
# The throughput benchmarks against OpenSSL, in one optimised build.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset bench
cmake --build --preset bench
for b in build/bench/bench/*/*_bench; do
  [ -x "$b" ] && "$b"
done
