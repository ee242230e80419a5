#!/usr/bin/env bash
# Installs the Debian 12 packages that are missing, in one line of output:
#   scripts/install-deps.sh demo   what the demo needs (the native build)
#   scripts/install-deps.sh        everything building and testing need
# Run as root, or as a user who may use sudo: sudo is called only when
# something is missing. Does nothing when all is there.
set -euo pipefail

# The native build: compiler, CMake, and the stand-ins' libraries.
demo=(cmake g++ make pkg-config libgtest-dev libcpp-httplib-dev libssl-dev zlib1g-dev libbrotli-dev
      libsqlite3-dev libncurses-dev rapidjson-dev)
# The rest of the tests: benchmarks, fuzzing, the 32-bit x86 build under qemu
# and its libraries, and the Windows build.
rest=(libbenchmark-dev libcjson-dev clang libclang-rt-14-dev qemu-user gcc-multilib g++-multilib
      g++-mingw-w64-i686 binutils-mingw-w64-i686)
i386=(libcpp-httplib0.11:i386 libssl3:i386 zlib1g:i386 libbrotli1:i386 libsqlite3-dev:i386)

if [ "${1:-}" = demo ]; then
  wanted=("${demo[@]}")
else
  wanted=("${demo[@]}" "${rest[@]}" "${i386[@]}")
fi

missing=()
for package in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo > /dev/null; then
    echo "missing packages: ${missing[*]}" >&2
    echo "run this as root (there is no sudo here to ask for it)" >&2
    exit 1
  fi
  as_root=(sudo)
fi

# sudo asks for the password here, before apt-get's output is put away.
[ ${#as_root[@]} -eq 0 ] || sudo -v

log=$(mktemp "${TMPDIR:-/tmp}/marketgate-install-deps.XXXXXX")
echo "== Installing what is missing: ${missing[*]} (apt-get's output in $log)"
{
  if printf '%s\n' "${missing[@]}" | grep -q ':i386$' && ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${as_root[@]}" dpkg --add-architecture i386
  fi
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
} > "$log" 2>&1 < /dev/null || {
  echo "installing the packages failed; the end of $log:" >&2
  tail -n 20 "$log" >&2
  exit 1
}
