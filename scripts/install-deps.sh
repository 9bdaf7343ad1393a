#!/usr/bin/env bash
# Installs everything the project's builds and tests need on Debian 12, as root. Idempotent:
# packages that dpkg already reports installed are skipped, and the package lists are updated
# only when something is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev        # native builds, sanitizers, fuzzers
  googletest libgtest-dev libgmock-dev libbenchmark-dev libspdlog-dev
  g++-mingw-w64-i686                                    # the 32-bit Windows cross-build
  wine wine32:i386 xvfb                                 # running it headless
  firebird3.0-server firebird3.0-utils                  # a real server loading the library
)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

# wine32 is an i386 package.
dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386

missing=()
for package in "${packages[@]}"; do
  installed "$package" || missing+=("$package")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: everything is installed"
  exit 0
fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
