#!/usr/bin/env bash
# Configures and builds the given presets (default: the four deliverables'
# builds; linux-x64 first, the others' tests use its emulator).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(linux-x64 linux-i386 windows-x64 windows-x86)
for preset in "${presets[@]}"; do
  echo "== build $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
