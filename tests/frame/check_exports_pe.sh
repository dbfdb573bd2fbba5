#!/usr/bin/env bash
# The Windows add-in exports exactly the four functions of the host's
# interface under their plain names (cdecl, undecorated on x86 too), and needs
# no DLL but the system's: the compiler's runtime is linked in.
# Usage: check_exports_pe.sh OBJDUMP LIBRARY
set -euo pipefail
objdump="$1"; lib="$2"
headers=$("$objdump" -p "$lib")
# The export name table: "[   0] Name" lines after "[Ordinal/Name Pointer] Table".
exports=$(awk '/\[Ordinal\/Name Pointer\] Table/ {table = 1; next}
               table && /^\t\[ *[0-9]+\] / {sub(/^\t\[ *[0-9]+\] /, ""); print; next}
               table && !/^\t\[/ {table = 0}' <<<"$headers" | sort)
expected=$(printf '%s\n' DestroyObject GetClassNames GetClassObject SetPlatformCapabilities)
if [ "$exports" != "$expected" ]; then
  echo "unexpected exports of $lib:"; echo "$exports"; exit 1
fi
needed=$(sed -n 's/^\tDLL Name: //p' <<<"$headers" | sort -u)
for n in $needed; do
  case "${n,,}" in
    kernel32.dll|user32.dll|winhttp.dll|msvcrt.dll|advapi32.dll|ws2_32.dll|api-ms-win-crt-*.dll) ;;
    *) echo "unexpected dependency of $lib: $n"; exit 1 ;;
  esac
done
echo "exports: $(echo $exports)"
echo "needs:   $(echo $needed)"
