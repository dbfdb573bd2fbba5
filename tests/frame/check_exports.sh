#!/usr/bin/env bash
# The add-in exports exactly the four functions of the host's interface and
# needs nothing but the C library at run time.
set -euo pipefail
lib="$1"
exports=$(readelf --dyn-syms --wide "$lib" | awk '$7 != "UND" && $5 != "LOCAL" && $4 != "SECTION" && NR > 3 && $8 != "" {print $8}' | sed 's/@.*//' | sort)
expected=$(printf '%s\n' DestroyObject GetClassNames GetClassObject SetPlatformCapabilities)
if [ "$exports" != "$expected" ]; then
  echo "unexpected exports of $lib:"; echo "$exports"; exit 1
fi
needed=$(readelf -d "$lib" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | sort)
for n in $needed; do
  case "$n" in
    libc.so.*|libm.so.*|ld-linux*.so.*|libpthread.so.*|libdl.so.*|librt.so.*) ;;
    *) echo "unexpected dependency of $lib: $n"; exit 1 ;;
  esac
done
echo "exports: $(echo $exports)"
echo "needs:   $(echo $needed)"
