#!/usr/bin/env bash
# A long run of mixed calls through the host harness against the register
# emulator (default 100,000 calls); reports host memory and resident memory.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/install-deps.sh
bash scripts/build.sh linux-x64 >/dev/null
build/linux-x64/tools/kelvo-soak "${1:-100000}"
