#!/usr/bin/env bash
# Runs every test of wayfold: each stage in scripts/test-stages, in the order of its number.
set -euo pipefail
cd "$(dirname "$0")/.."

for stage in scripts/test-stages/*.sh; do
  echo "=== ${stage##*/}"
  bash -euo pipefail "$stage"
done
echo "=== every stage passed"
