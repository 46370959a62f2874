#!/usr/bin/env bash
# Downloads a 256 MiB file over loopback HTTP with the downloader and with
# `curl -o`, from the same server in the same run, and prints the throughput
# ratio (downloader / curl; 1.0 = as fast as curl).
#   bench/netdown/download_vs_curl.sh [path/to/netdown_fetch]
set -euo pipefail
cd "$(dirname "$0")/../.."
fetch=${1:-build/bench/bench/netdown/netdown_fetch}
if [ ! -x "$fetch" ]; then
    cmake --preset bench >/dev/null
    cmake --build --preset bench --target netdown_fetch >/dev/null
fi
work=$(mktemp -d)
server_pid=
cleanup() {
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/root" "$work/out"
head -c $((256 * 1024 * 1024)) /dev/urandom >"$work/root/big.bin"
/usr/bin/python3 tests/netdown/test_server.py http "$work/root" --port-file "$work/port" \
    --limit 600 </dev/null >/dev/null 2>&1 &
server_pid=$!
for _ in $(seq 100); do [ -f "$work/port" ] && break; sleep 0.1; done
port=$(cat "$work/port")
url="http://127.0.0.1:$port/big.bin"

seconds() { # command... -> wall seconds
    local start end
    start=$(date +%s.%N)
    "$@"
    end=$(date +%s.%N)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.6f", b - a }'
}

run_ours() {
    sync
    t=$(seconds "$fetch" 127.0.0.1 "$port" /big.bin "$work/out/ours.bin")
    cmp -s "$work/root/big.bin" "$work/out/ours.bin" || { echo "downloader copy differs" >&2; exit 1; }
    rm -f "$work/out/ours.bin"
    best_ours=$(awk -v t="$t" -v b="$best_ours" 'BEGIN { print (t < b ? t : b) }')
}
run_curl() {
    sync
    t=$(seconds curl -s -o "$work/out/curl.bin" "$url")
    cmp -s "$work/root/big.bin" "$work/out/curl.bin" || { echo "curl copy differs" >&2; exit 1; }
    rm -f "$work/out/curl.bin"
    best_curl=$(awk -v t="$t" -v b="$best_curl" 'BEGIN { print (t < b ? t : b) }')
}

# Best of five each, alternating which goes first; written data is synced
# before each download so neither pays for the other's writes.
best_ours=999999
best_curl=999999
for round in 1 2 3 4 5; do
    if [ $((round % 2)) -eq 1 ]; then run_ours; run_curl; else run_curl; run_ours; fi
done
awk -v o="$best_ours" -v c="$best_curl" 'BEGIN {
    printf "downloader: %.3f s (%.0f MiB/s)\n", o, 256 / o
    printf "curl -o:    %.3f s (%.0f MiB/s)\n", c, 256 / c
    printf "ratio (downloader / curl throughput): %.2f\n", c / o
}'
