#!/usr/bin/env bash
# Builds everything and runs every test: the default preset, then the sanitizer preset.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-debian.sh

for preset in default asan; do
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done

if [ -x scripts/fuzz-smoke.sh ] || [ -f scripts/fuzz-smoke.sh ]; then
  bash scripts/fuzz-smoke.sh
fi
