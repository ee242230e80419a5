#!/usr/bin/env bash
# Installs the Debian 12 packages that are missing, in one line of output:
#   scripts/install-deps.sh demo   what the demo needs (the native build)
#   scripts/install-deps.sh        everything building and testing need
#   scripts/install-deps.sh wine   what the Wine runner needs (tools/wine32)
# Run as root, or as a user who may use sudo: sudo is called only when
# something is missing. Does nothing when all is there.
set -euo pipefail

# The native build: compiler, CMake, and the stand-ins' libraries.
demo=(cmake g++ make pkg-config libgtest-dev libcpp-httplib-dev libssl-dev zlib1g-dev libbrotli-dev
      libncurses-dev rapidjson-dev)
# The rest of the tests: benchmarks, fuzzing, the 32-bit x86 build under qemu
# and its libraries, the Windows build, and the formatting check.
rest=(libbenchmark-dev libcjson-dev clang libclang-rt-14-dev qemu-user gcc-multilib g++-multilib
      g++-mingw-w64-i686 binutils-mingw-w64-i686 clang-format-14)
i386=(libcpp-httplib0.11:i386 libssl3:i386 zlib1g:i386 libbrotli1:i386)
# Debian's Wine, run under qemu-i386 by tools/wine32/setup-and-smoke.sh.
wine=(wine wine64 wine32:i386 qemu-user gcc-multilib gcc-mingw-w64-i686 g++-mingw-w64-i686
      binutils-mingw-w64-i686)

case "${1:-}" in
  demo) wanted=("${demo[@]}") ;;
  wine) wanted=("${wine[@]}") ;;
  "") wanted=("${demo[@]}" "${rest[@]}" "${i386[@]}") ;;
  *) echo "usage: $0 [demo | wine]" >&2; exit 2 ;;
esac

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

apt_get() { "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -q "$@"; }
apt_install() { apt_get install -y --no-install-recommends "$@"; }
# A package's version in the release itself (not its security or updates suites).
release_version() {
  apt-cache madison "$1" | awk -F' *[|] *' '$3 ~ / bookworm\/main / { print $2; exit }'
}
# A mirror in the middle of a sync can fail one architecture's security index
# ("File has unexpected size"); the packages that must match across
# architectures then differ in version and the install breaks. The last resort
# takes every package from the release itself, the kernel headers (installed
# for both architectures by the compilers) pinned to its version.
install_from_release() {
  local pins=() package version
  for package in linux-libc-dev linux-libc-dev:i386; do
    case "$package" in *:i386) printf '%s\n' "${missing[@]}" | grep -q ':i386$' || continue ;; esac
    version=$(release_version "$package")
    [ -z "$version" ] || pins+=("$package=$version")
  done
  apt_install -t bookworm --allow-downgrades "${missing[@]}" "${pins[@]}"
}

log=$(mktemp "${TMPDIR:-/tmp}/marketgate-install-deps.XXXXXX")
echo "== Installing what is missing: ${missing[*]} (apt-get's output in $log)"
{
  if printf '%s\n' "${missing[@]}" | grep -q ':i386$' && ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${as_root[@]}" dpkg --add-architecture i386
  fi
  if apt_get update && apt_install "${missing[@]}"; then
    :
  elif echo "== once more after a fresh update" && apt_get update && apt_install "${missing[@]}"; then
    :
  else
    echo "== from bookworm alone, the kernel headers pinned to its version"
    install_from_release
  fi
} > "$log" 2>&1 < /dev/null || {
  echo "installing the packages failed; the end of $log:" >&2
  tail -n 20 "$log" >&2
  exit 1
}
