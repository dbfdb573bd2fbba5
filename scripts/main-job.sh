#!/usr/bin/env bash
# The main job: a cashier's whole day through the real add-in, loaded by the
# host harness exactly as the platform loads it, against the register
# emulator on loopback; then the register's printed tape.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/install-deps.sh
bash scripts/build.sh linux-x64 >/dev/null

build=build/linux-x64
host=$build/tools/kelvo-host
lib=$build/addin/kelvokkm64.so
demo=tools/demo

# The register: an emulator on a free loopback port, stopped when we leave.
log=$(mktemp)
"$build/tools/emulator/kelvo-emulator" --host 127.0.0.1 --port 0 >"$log" 2>&1 &
emulator=$!
trap 'kill $emulator 2>/dev/null; rm -f "$log"' EXIT
for _ in $(seq 100); do grep -q '^listening on ' "$log" && break; sleep 0.05; done
addr=$(sed -n 's/^listening on //p' "$log")
[ -n "$addr" ] || { echo "the emulator did not start"; cat "$log"; exit 1; }

echo "== the add-in as the platform sees it"
"$host" "$lib" info
echo
echo "== a cashier's day on the register at $addr"
"$host" "$lib" call \
  GetVersion \
  + GetDescription empty empty empty empty empty empty empty \
  + GetParameters empty \
  + SetParameter IpAddress "$addr" \
  + Open empty \
  + DeviceTest empty empty \
  + GetDataKKT "$addr" empty \
  + OpenShift "$addr" @$demo/shift.xml empty empty empty \
  + ProcessCheck "$addr" b:false @$demo/sale.xml empty empty empty empty \
  + ProcessCheck "$addr" b:false @$demo/refund.xml empty empty empty empty \
  + ProcessCorrectionCheck "$addr" @$demo/correction.xml empty empty empty empty \
  + CashInOutcome "$addr" @$demo/cash.xml d:5000 \
  + CashInOutcome "$addr" @$demo/cash.xml d:-1200.5 \
  + PrintTextDocument "$addr" @$demo/text.xml \
  + GetCurrentStatus "$addr" empty empty empty empty \
  + CloseShift "$addr" @$demo/shift.xml empty empty empty \
  + GetLastError empty \
  + Close "$addr"
echo
echo "== the register's tape"
curl -s "http://$addr/emulator/tape"
