#!/usr/bin/env bash
# On 32-bit x86 with the Windows layout, every interface-table function of the
# add-in is __stdcall: the callee pops its arguments (`this` and the declared
# parameters, four bytes each), so each of its returns is `ret $N`. The
# destructor places follow the compiler's member convention instead (`this` in
# ECX): the scalar deleting destructor pops only its flags, `ret $4`.
# Usage: check_slot_calls.sh OBJDUMP LIBRARY
set -euo pipefail
objdump="$1"; lib="$2"
# Table function and the bytes of its arguments, `this` included.
expected="Init 8 SetMemManager 8 GetInfo 4 Done 4
RegisterExtensionAs 8 GetNProps 4 FindProp 8 GetPropName 12 GetPropVal 12 SetPropVal 12
IsPropReadable 8 IsPropWritable 8 GetNMethods 4 FindMethod 8 GetMethodName 12 GetNParams 8
GetParamDefValue 16 HasRetVal 8 CallAsProc 16 CallAsFunc 20 SetLocale 8
SetUserInterfaceLanguageCode 8
ScalarDeletingDestructor<0> 4 ScalarDeletingDestructor<1> 4 ScalarDeletingDestructor<2> 4
ScalarDeletingDestructor<3> 4"
listing=$("$objdump" -d -C --no-show-raw-insn "$lib")
# One line per return: "<function> <operand>", for the frame's own functions
# (outlined cold parts excluded: they end by jumping back or by throwing).
returns=$(awk '
  /^[0-9a-f]+ <.*>:$/ {
    name = ""
    if ($0 ~ /\(anonymous namespace\)::[A-Za-z]+(<[0-9]+>)?\(/ && $0 !~ /\[clone|\.cold>:$/) {
      name = $0; sub(/^.*\(anonymous namespace\)::/, "", name); sub(/\(.*$/, "", name)
    }
    next
  }
  name != "" && $2 == "ret" { print name, ($3 == "" ? "-" : $3) }
  name != "" && $2 ~ /^ret/ && $2 != "ret" { print name, "-" }
' <<<"$listing")
status=0
checked=0
set -- $expected
while [ $# -gt 0 ]; do
  fn="$1"; bytes="$2"; shift 2
  want=$(printf '$0x%x' "$bytes")
  got=$(awk -v f="$fn" '$1 == f {print $2}' <<<"$returns" | sort -u)
  if [ -z "$got" ]; then
    echo "no returns found for $fn"; status=1
  elif [ "$got" != "$want" ]; then
    echo "$fn returns with: $(echo $got), expected ret $want"; status=1
  else
    checked=$((checked + 1))
  fi
done
[ "$status" = 0 ] && echo "all $checked table functions return with ret \$N (stdcall)"
exit $status
