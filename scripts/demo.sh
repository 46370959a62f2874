#!/usr/bin/env bash
# The main job end to end: builds vellora-cli, encrypts two files and a
# message into a package with a password, shows what the package holds,
# decrypts it into a fresh folder and checks every byte came back.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset linux >/dev/null
cmake --build --preset linux --target vellora-cli
CLI=$PWD/build/linux/app/cli/vellora-cli

WORK=$(mktemp -d "${TMPDIR:-/tmp}/vellora-demo.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"
mkdir docs
printf '분기 보고서: 매출이 올랐습니다.\n' > docs/보고서.txt
head -c 3000000 /dev/urandom > docs/photo.raw
printf 'demo-password\n' > pw

echo "== encrypt (SEED-CFB data, ARIA-wrapped session key)"
"$CLI" encrypt -a aria -p pw -t "회의는 3시입니다." -o docs.vlr docs/보고서.txt docs/photo.raw
echo "== info (no password needed)"
"$CLI" info docs.vlr
echo "== decrypt"
"$CLI" decrypt -p pw -o restored docs.vlr
cmp docs/보고서.txt restored/보고서.txt
cmp docs/photo.raw restored/photo.raw
echo "message: $(cat restored/꾸러미_메세지.txt)"
echo "== round trip OK"
