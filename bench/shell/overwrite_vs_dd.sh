#!/usr/bin/env bash
# Zero-overwrite throughput of OverwriteFile (no progress window, waits
# excluded) against dd writing the same zeros into the same 1 GiB file with
# a final fsync. Prints each round and the ratio of the two speeds
# (>= 1 means OverwriteFile is at least as fast as dd).
#   bench/shell/overwrite_vs_dd.sh [FILE] [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/../.."
file="${1:-build/bench/overwrite-1GiB.bin}"
rounds="${2:-3}"

cmake --preset bench >/dev/null
cmake --build build/bench -j2 --target overwrite_file_tool >/dev/null
tool=build/bench/bench/shell/overwrite_file_tool

mkdir -p "$(dirname "$file")"
head -c $((1024 * 1024 * 1024)) /dev/urandom >"$file"
sync

now() { date +%s.%N; }
dd_total=0
ours_total=0
for round in $(seq "$rounds"); do
  t0=$(now)
  dd if=/dev/zero of="$file" bs=1M count=1024 conv=notrunc,fsync status=none
  t1=$(now)
  dd_s=$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')
  ours_s=$("$tool" "$file")
  printf 'round %d: dd %.3f s, OverwriteFile %.3f s\n' "$round" "$dd_s" "$ours_s"
  dd_total=$(awk -v a="$dd_total" -v b="$dd_s" 'BEGIN { print a + b }')
  ours_total=$(awk -v a="$ours_total" -v b="$ours_s" 'BEGIN { print a + b }')
done
rm -f "$file"
awk -v n="$rounds" -v d="$dd_total" -v o="$ours_total" 'BEGIN {
  printf "dd            %.1f MiB/s\n", 1024 * n / d
  printf "OverwriteFile %.1f MiB/s\n", 1024 * n / o
  printf "ratio (OverwriteFile speed / dd speed): %.2f\n", d / o
}'
