#!/usr/bin/env bash
# vellora-cli against `openssl enc -seed-cfb` on the same 512 MiB file, in one
# run: encrypt and decrypt, median of RUNS each, reported as ratios
# (openssl time / vellora time: 1.0x or more means vellora is as fast or
# faster). Both sides end with the output on the device: vellora-cli syncs
# what it writes, so the openssl runs are followed by `sync FILE`.
# Then hiding a 30 MB package in 100 pictures and joining it back: times.
#
#   bench/package/cli_vs_openssl.sh            # builds with the bench preset
#   RUNS=5 SIZE_MIB=512 bench/package/cli_vs_openssl.sh
set -euo pipefail
cd "$(dirname "$0")/../.."
RUNS=${RUNS:-3}
SIZE_MIB=${SIZE_MIB:-512}
PICTURES=${PICTURES:-100}
HIDE_MB=${HIDE_MB:-30}

cmake --preset bench >/dev/null
cmake --build --preset bench --target vellora-cli >/dev/null
CLI=$PWD/build/bench/app/cli/vellora-cli

WORK=$(mktemp -d "${TMPDIR:-/tmp}/vellora-bench.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"
printf 'bench-password\n' > pw
head -c $((SIZE_MIB * 1024 * 1024)) /dev/urandom > data.bin
KEY=00112233445566778899aabbccddeeff
IV=00000000000000000000000000000000
OSSL=(openssl enc -seed-cfb -K "$KEY" -iv "$IV" -provider legacy -provider default)

seconds() {  # runs "$@", prints the wall time in seconds
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1
  end=$(date +%s.%N)
  echo "$end - $start" | bc -l
}
median() { sort -g | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }

ossl_enc() { "${OSSL[@]}" -in data.bin -out data.enc && sync data.enc; }
ossl_dec() { "${OSSL[@]}" -d -in data.enc -out data.dec && sync data.dec; }
vel_enc() { "$CLI" encrypt -p pw -o data.vlr --force data.bin; }
vel_dec() { "$CLI" decrypt -p pw -o out --force data.vlr; }

declare -A times
for op in ossl_enc vel_enc ossl_dec vel_dec; do times[$op]=""; done
for ((i = 0; i < RUNS; i++)); do
  for op in ossl_enc vel_enc ossl_dec vel_dec; do
    times[$op]+="$(seconds $op)"$'\n'
  done
done
cmp data.bin out/data.bin
cmp data.bin data.dec

m() { printf '%s' "${times[$1]}" | median; }
oe=$(m ossl_enc); ve=$(m vel_enc); od=$(m ossl_dec); vd=$(m vel_dec)
mib=$SIZE_MIB
printf '%s MiB, median of %s runs\n' "$SIZE_MIB" "$RUNS"
printf 'encrypt: openssl %.2fs (%.0f MiB/s)  vellora-cli %.2fs (%.0f MiB/s)  ratio %.2fx\n' \
  "$oe" "$(echo "$mib / $oe" | bc -l)" "$ve" "$(echo "$mib / $ve" | bc -l)" "$(echo "$oe / $ve" | bc -l)"
printf 'decrypt: openssl %.2fs (%.0f MiB/s)  vellora-cli %.2fs (%.0f MiB/s)  ratio %.2fx\n' \
  "$od" "$(echo "$mib / $od" | bc -l)" "$vd" "$(echo "$mib / $vd" | bc -l)" "$(echo "$od / $vd" | bc -l)"
rm -rf data.bin data.enc data.dec data.vlr out

# Hiding: pictures of the largest useful size (capacity 349998 bytes each).
python3 - "$PICTURES" <<'PY'
import os, struct, sys
n = int(sys.argv[1]); size = 8 * (349998 + 70)
os.makedirs("pics", exist_ok=True)
body = os.urandom(size - 6)
for i in range(n):
    with open(f"pics/p{i:03}.bmp", "wb") as f:
        f.write(b"BM" + struct.pack("<I", size) + body)
PY
head -c $((HIDE_MB * 1000 * 1000)) /dev/urandom > hide.bin
args=()
for p in pics/*.bmp; do args+=(-b "$p"); done
hide=$(seconds "$CLI" encrypt -m bmp -p pw "${args[@]}" hide.bin)
join=$(seconds "$CLI" decrypt -p pw -o joined pics/*.bmp)
cmp hide.bin joined/hide.bin
printf 'hiding %s MB over %s pictures: %.2fs; joining and decrypting: %.2fs\n' "$HIDE_MB" "$PICTURES" "$hide" "$join"
