#!/usr/bin/env bash
# The main job: the driver loaded by the host harness exactly as the platform
# loads it, showing what it offers and answering the host's first calls.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/install-deps.sh
bash scripts/build.sh linux-x64 >/dev/null
host=build/linux-x64/tools/kelvo-host
lib=build/linux-x64/addin/kelvokkm64.so
echo "== the add-in as the platform sees it"
"$host" "$lib" info
echo
echo "== version, description, settings document, parameters"
"$host" "$lib" call GetVersion \
  + GetDescription empty empty empty empty empty empty empty \
  + GetParameters empty \
  + SetParameter IpAddress 127.0.0.1:8080 \
  + GetParameter IpAddress \
  + Open empty \
  + GetLineLength empty empty \
  + GetLastError empty
