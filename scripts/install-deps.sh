#!/usr/bin/env bash
# Installs what building and testing need on a fresh Debian 12 machine
# (run as root; does nothing that is already done).
set -euo pipefail

native=(cmake g++ make libgtest-dev libbenchmark-dev qemu-user gcc-multilib g++-multilib
        g++-mingw-w64-i686 binutils-mingw-w64-i686 clang libclang-rt-14-dev
        libcpp-httplib-dev libssl-dev zlib1g-dev libbrotli-dev libsqlite3-dev libncurses-dev
        libcjson-dev rapidjson-dev pkg-config)
i386=(libcpp-httplib0.11:i386 libssl3:i386 zlib1g:i386 libbrotli1:i386 libsqlite3-dev:i386)

missing=()
for package in "${native[@]}" "${i386[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
if [ "$(id -u)" -ne 0 ]; then
  echo "missing packages: ${missing[*]} (run as root to install them)" >&2
  exit 1
fi
dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
