#!/usr/bin/env bash
# Runs every test of wayfold: the native suite, then the others as they are added.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset native >/dev/null
cmake --build --preset native -j"$(nproc)"
ctest --preset native -j"$(nproc)"
