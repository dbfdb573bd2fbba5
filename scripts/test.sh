#!/usr/bin/env bash
# Everything a fresh Debian 12 machine needs, then the whole test suite for
# every build: the same harness tests against kelvokkm64.so and, under
# qemu-i386, against kelvokkm32.so; again against both with the Windows
# interface layout forced; against kelvokkm64.dll under Wine; and the checks of
# kelvokkm32.dll's file (exports, stdcall tables), which nothing here can run.
# Then the add-in bundle of all four, checked against its manifest; the suite
# again under AddressSanitizer + UndefinedBehaviorSanitizer (x86-64 and i386)
# and under ThreadSanitizer; and the fuzz targets' seed corpus replayed.
# linux-x64 goes first: the other builds' tests use its emulator.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/install-deps.sh
presets=(linux-x64 linux-i386 linux-x64-winlayout linux-i386-winlayout windows-x64 windows-x86
  linux-x64-asan linux-i386-asan linux-x64-tsan)
bash scripts/build.sh "${presets[@]}"
status=0
for preset in "${presets[@]}"; do
  echo "== test $preset"
  ctest --preset "$preset" || status=1
done
echo "== bundle"
bundle=build/bundle/kelvokkm.zip
{ python3 packaging/bundle.py make build "$bundle" && python3 packaging/bundle.py check "$bundle"; } ||
  status=1
echo "== fuzz corpus replay"
bash scripts/fuzz.sh replay || status=1
exit $status
