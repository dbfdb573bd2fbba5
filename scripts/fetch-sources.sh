#!/usr/bin/env bash
# Fetches the Debian source packages the add-in is built from (never committed)
# and unpacks each into .deps/src/<package>. Usage: fetch-sources.sh PACKAGE...
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dest="$root/.deps/src"
mkdir -p "$dest"
for pkg in "$@"; do
  [ -f "$dest/$pkg/.unpacked" ] && continue
  work="$(mktemp -d "$dest/.fetch-$pkg.XXXXXX")"
  (cd "$work" && apt-get source --download-only -qq "$pkg" >/dev/null)
  dsc="$(ls "$work"/*.dsc | head -n 1)"
  rm -rf "$dest/$pkg"
  dpkg-source --no-check -x "$dsc" "$dest/$pkg" >/dev/null
  touch "$dest/$pkg/.unpacked"
  rm -rf "$work"
done
