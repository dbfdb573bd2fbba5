#!/usr/bin/env bash
# The harness's command line loads the add-in, lists it and calls methods.
set -euo pipefail
host="$1"; lib="$2"
# Line ends as the program wrote them: a Windows one writes CR LF.
run() { ${KELVO_EMULATOR:-} "$host" "$@" | tr -d '\r'; }
info=$(run "$lib" info)
grep -q '^classes:   TMyClass$' <<<"$info"
grep -q '^extension: TKelvoKKM$' <<<"$info"
grep -q 'GetLineLength *ПолучитьШиринуСтроки  (2 params, function)' <<<"$info"
[ "$(grep -c 'params, function' <<<"$info")" = 23 ]
out=$(run --json "$lib" call SetParameter IpAddress 10.0.0.5:8080 + GetParameter IpAddress)
# Texts come back as wide strings on Linux, as 8-bit strings with the Windows layout.
grep -Eq '"return":\{"type":"w?string","value":"10.0.0.5:8080"\}' <<<"$out"
out=$(run "$lib" call GetDescription empty empty empty empty empty empty empty)
grep -Eq 'param 2: w?string "Драйвер ККМ KELVO-1F 1.0"' <<<"$out"
echo "ok"
