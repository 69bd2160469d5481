#!/usr/bin/env bash
# Installs the Debian packages the builds and tests need, when any is missing;
# with --bench also those only the benchmarks use (NSIS, the peer of the
# installer benchmarks; pigz, the peer of the builder's threads; spdlog, the
# peer of the logging benchmark; pugixml and tinyxml2, the peers of the XML
# benchmark). As
# root it runs apt-get; otherwise it prints the exact command and fails.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev make
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 xvfb xauth x11-utils imagemagick
  zlib1g-dev libssl-dev xz-utils
  osslsigncode openssl python3-yaml
)
if [ "${1:-}" = --bench ]; then
  packages+=(nsis pigz libspdlog-dev libpugixml-dev libtinyxml2-dev)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

cmd=(apt-get install -y "${missing[@]}")
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages: ${missing[*]}" >&2
  echo "Run as root: apt-get update && ${cmd[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
"${cmd[@]}"
