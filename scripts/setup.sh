#!/usr/bin/env bash
# Installs what building and testing wayfold needs on a Debian machine (run as root,
# or with sudo available). Safe to run again: it installs only what is missing.
set -euo pipefail

packages=(
  cmake g++ make libgtest-dev libbenchmark-dev     # native build and tests
  clang-14 libclang-rt-14-dev                      # sanitizers and fuzzing
  g++-mingw-w64-x86-64 wine wine64 xvfb x11-utils  # the Windows build, run under Wine
  icoutils imagemagick python3 time                # resource checks, screenshots, benchmarks
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
