#!/usr/bin/env bash
# Cross-builds the Windows programs and runs their tests under Wine with the
# Korean code page.
set -euo pipefail
cd "$(dirname "$0")/.."
export LANG=ko_KR.UTF-8 WINEDEBUG=-all
export WINEPREFIX="${WINEPREFIX:-$PWD/build/wineprefix}"
[ -d "$WINEPREFIX" ] || wineboot --init >/dev/null 2>&1 || true
cmake --preset mingw
cmake --build --preset mingw
ctest --preset mingw
