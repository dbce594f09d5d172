#!/usr/bin/env bash
# Installs the Debian packages needed to build and test ostrel.
# Does nothing when every package is already present; safe to run repeatedly.
set -euo pipefail

packages=(
  cmake
  ninja-build
  g++
  make
  libboost-all-dev
  libeigen3-dev
  libpcl-dev
  libgtest-dev
  libgmock-dev
  libbenchmark-dev
  libtf2-dev
  clang-format
)
[ "${1:-}" = "docs" ] && packages=(doxygen)  # `make docs` needs only the API reference generator

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all build and test packages are present."
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update
"${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
