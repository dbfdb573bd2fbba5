#!/usr/bin/env bash
# Builds the benchmarks in Release (build/bench-release) and runs them: the
# driver's calls through the host harness against the transport floor, the
# driver's own cost per position and its peak heap. Prints the ratios with
# their targets at the end. Extra arguments go to kelvo-bench (for example
# --benchmark_repetitions=15). See bench/README.md.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
build=build/bench-release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target kelvo-bench
echo "== $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) before the run"
"$build/bench/kelvo-bench" --benchmark_repetitions=9 --benchmark_min_time=0.2 \
  --benchmark_enable_random_interleaving=true "$@"
echo "== load average $(cut -d' ' -f1-3 /proc/loadavg) after the run"
