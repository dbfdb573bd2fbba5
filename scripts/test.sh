#!/usr/bin/env bash
# Everything a fresh Debian 12 machine needs, then the whole test suite for
# every build: the same harness tests against kelvokkm64.so and, under
# qemu-i386, against kelvokkm32.so.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/install-deps.sh
bash scripts/build.sh linux-x64 linux-i386
status=0
for preset in linux-x64 linux-i386; do
  echo "== test $preset"
  ctest --preset "$preset" || status=1
done
exit $status
