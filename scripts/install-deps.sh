#!/usr/bin/env bash
# Installs the Debian packages the builds and tests need, and adds Debian source
# entries so that library sources (pugixml, curl) can be fetched by package name.
# Safe to run again: it skips what is already there.
set -euo pipefail

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO=sudo; fi

PACKAGES=(
  build-essential cmake ninja-build g++-multilib qemu-user
  googletest libgtest-dev libbenchmark-dev rapidjson-dev libcpp-httplib-dev nlohmann-json3-dev
  dpkg-dev binutils file locales clang libclang-rt-14-dev
  # Expat: the conforming XML parser the host documents' check is held against.
  libexpat1-dev
  # Windows builds (mingw-w64, POSIX threads) and their tests under Wine (64-bit
  # only: wine32 would make the plain `wine` command pick a 32-bit loader), and
  # the add-in bundle (python3's zipfile).
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine wine64 python3
)

# Source entries mirror the machine's own binary entries, once.
add_source_entries() {
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    case "$f" in *-src.sources) continue ;; esac
    [ -e "${f%.sources}-src.sources" ] && continue
    sed 's/^Types: deb$/Types: deb-src/' "$f" | $SUDO tee "${f%.sources}-src.sources" >/dev/null
  done
  if [ -f /etc/apt/sources.list ] && ! grep -q '^deb-src' /etc/apt/sources.list; then
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list | $SUDO tee /etc/apt/sources.list.d/project-src.list >/dev/null
  fi
}

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

need_update=0
if ! ls /etc/apt/sources.list.d/*-src.sources >/dev/null 2>&1; then
  add_source_entries
  need_update=1
fi
[ ${#missing[@]} -gt 0 ] && need_update=1
# apt-get source needs the source indexes; they are absent until an update has run.
ls /var/lib/apt/lists/*_source_Sources* >/dev/null 2>&1 || need_update=1

if [ "$need_update" = 1 ]; then
  $SUDO apt-get update -qq
fi
if [ ${#missing[@]} -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# A Russian locale, for the tests that start from a comma decimal separator.
if ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$'; then
  $SUDO localedef -i ru_RU -f UTF-8 ru_RU.UTF-8
fi
