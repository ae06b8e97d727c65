#!/usr/bin/env bash
# Runs each libFuzzer target for a short, bounded time on a copy of its seed corpus.
# Longer runs by hand: FUZZ_SECONDS=3600 bash scripts/fuzz-smoke.sh
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${FUZZ_SECONDS:-30}"
cmake --preset fuzz
cmake --build --preset fuzz --target fuzz_format fuzz_scene
for target in format scene; do
  work=$(mktemp -d)
  cp -r "fuzz/corpus/$target/." "$work/"
  echo "fuzz_$target: ${seconds}s"
  ./build/fuzz/fuzz/fuzz_$target -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
    -print_final_stats=1 "$work" 2>&1 | tail -n 12
  rm -rf "$work"
done
