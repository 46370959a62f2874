#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the benchmarks need;
# installs nothing that is already there.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libssl-dev openssl libcurl4-openssl-dev curl
  python3 python3-pyftpdlib
  g++-mingw-w64-x86-64-posix mingw-w64-tools wine64 libclang-rt-14-dev
  locales
  nsis xvfb xauth fonts-nanum imagemagick zip unzip
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi

# Wine takes its narrow code page from the locale: Korean gives code page 949.
if ! locale -a 2>/dev/null | grep -qi '^ko_KR.utf8$'; then
  $SUDO sed -i 's/^# *ko_KR.UTF-8 UTF-8/ko_KR.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^ko_KR.UTF-8 UTF-8' /etc/locale.gen || echo 'ko_KR.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
