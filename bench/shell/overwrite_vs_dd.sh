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
  dd_s=$(echo "$t1 - $t0" | bc -l)
  ours_s=$("$tool" "$file")
  printf 'round %d: dd %.3f s, OverwriteFile %.3f s\n' "$round" "$dd_s" "$ours_s"
  dd_total=$(echo "$dd_total + $dd_s" | bc -l)
  ours_total=$(echo "$ours_total + $ours_s" | bc -l)
done
rm -f "$file"
printf 'dd          %.1f MiB/s\n' "$(echo "1024 * $rounds / $dd_total" | bc -l)"
printf 'OverwriteFile %.1f MiB/s\n' "$(echo "1024 * $rounds / $ours_total" | bc -l)"
printf 'ratio (OverwriteFile speed / dd speed): %.2f\n' "$(echo "$dd_total / $ours_total" | bc -l)"
