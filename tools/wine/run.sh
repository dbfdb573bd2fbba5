#!/usr/bin/env bash
# Runs a 64-bit Windows program under Wine, as the Windows x64 tests do:
#
#   run.sh [--prefix DIR] PROGRAM [ARG...]   run it (the prefix is made on first use)
#   run.sh [--prefix DIR] --fresh            replace the prefix with a new one
#
# Headless (no display, so a message box returns at once) and quiet. The
# 64-bit loader is called directly: the plain `wine` command prefers a 32-bit
# one.
#
# Locale: Wine takes the ANSI code page from LC_CTYPE and the user's locale
# (regional settings, decimal separator) from LC_MESSAGES, LC_ALL overriding
# both; plain LANG or registry keys do not change the code page. The code page
# here is always Windows-1251 (ru_RU.UTF-8 as LC_CTYPE), while the user's
# locale follows the caller's LC_ALL (or C), as a Linux test program's would:
# LC_ALL=ru_RU.UTF-8 gives a Russian user with a comma separator.
#
# KELVO_WINE_ENV_FILE, when it names an existing file, adds its NAME=VALUE
# lines to the program's environment (values only known while tests run, such
# as the emulator's address).
set -euo pipefail
prefix="${WINEPREFIX:-$HOME/.wine}"
if [ "${1:-}" = --prefix ]; then
  prefix="$2"
  shift 2
fi
export WINEPREFIX="$prefix"
export WINEDEBUG=-all
user_locale="${LC_ALL:-C}"
unset LC_ALL LANGUAGE
export LANG=C LC_CTYPE=ru_RU.UTF-8 LC_MESSAGES="$user_locale" LC_NUMERIC="$user_locale"
if [ -n "${KELVO_WINE_ENV_FILE:-}" ] && [ -f "$KELVO_WINE_ENV_FILE" ]; then
  while IFS= read -r line; do
    case "$line" in [A-Za-z_]*=*) export "$line" ;; esac
  done <"$KELVO_WINE_ENV_FILE"
fi
# No Mono or Gecko download prompts while a prefix is made, no desktop menus.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY
if [ "${1:-}" = --fresh ]; then
  # Wait until a server still running for the old prefix has gone.
  if [ -d "$prefix" ]; then /usr/lib/wine/wineserver -w || true; fi
  rm -rf "$prefix"
  mkdir -p "$prefix"
  /usr/lib/wine/wine64 wineboot --init
  exit 0
fi
mkdir -p "$prefix"
exec /usr/lib/wine/wine64 "$@"
