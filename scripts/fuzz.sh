#!/usr/bin/env bash
# The libFuzzer targets of fuzz/, built with clang in build/fuzz-clang.
#
#   bash scripts/fuzz.sh replay                  build, then run every file of the
#                                                seed corpus once; fails on any finding
#   bash scripts/fuzz.sh run TARGET SECONDS [OPTION...]
#                                                fuzz one target; new inputs go to
#                                                build/fuzz-clang/corpus/TARGET, findings
#                                                to build/fuzz-clang/artifacts/TARGET
#   bash scripts/fuzz.sh build                   build only
#   bash scripts/fuzz.sh list                    the targets
#
# OPTIONs go to libFuzzer as they are, e.g. -jobs=2 -workers=2.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
build="$root/build/fuzz-clang"
targets=(json_lenient json_strict answer_decoding receipt_package correction_package registration_document
  shift_document text_document cash_slip host_values host_xml_check device_address)

export ASAN_OPTIONS="${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

usage() {
  sed -n '2,13p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
}

build_targets() {
  if ! command -v clang++ >/dev/null || ! command -v clang >/dev/null; then
    echo "clang is missing: run scripts/install-deps.sh" >&2
    exit 1
  fi
  mkdir -p "$build"
  # One build at a time in the folder, however many runs start together.
  (
    flock 9
    cmake -S fuzz -B "$build" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      >/dev/null
    cmake --build "$build"
  ) 9>"$build/.build-lock"
}

dictionary() {
  case "$1" in
    json_* | answer_decoding) echo "$root/fuzz/dict/json.dict" ;;
    host_values) ;;
    device_address) echo "$root/fuzz/dict/address.dict" ;;
    *) echo "$root/fuzz/dict/host_xml.dict" ;;
  esac
}

known_target() {
  local t
  for t in "${targets[@]}"; do [ "$t" = "$1" ] && return 0; done
  echo "unknown target: $1 (one of: ${targets[*]})" >&2
  exit 2
}

replay() {
  build_targets
  local t status=0 files
  for t in "${targets[@]}"; do
    mapfile -t files < <(find "fuzz/corpus/$t" -type f | sort)
    if [ ${#files[@]} -eq 0 ]; then
      echo "== $t: no seed corpus" >&2
      status=1
      continue
    fi
    if "$build/$t" "${files[@]}" >"$build/replay-$t.log" 2>&1; then
      echo "== $t: ${#files[@]} inputs replayed"
    else
      echo "== $t: FAILED, see $build/replay-$t.log" >&2
      tail -n 40 "$build/replay-$t.log" >&2
      status=1
    fi
  done
  return $status
}

run() {
  local t="$1" seconds="$2"
  shift 2
  known_target "$t"
  build_targets
  local corpus="$build/corpus/$t" artifacts="$build/artifacts/$t/"
  mkdir -p "$corpus" "$artifacts"
  local dict
  dict="$(dictionary "$t")"
  local options=(-max_total_time="$seconds" -artifact_prefix="$artifacts" -print_final_stats=1
    -timeout=10)
  [ -n "$dict" ] && options+=(-dict="$dict")
  # libFuzzer's job logs (fuzz-N.log) land in the current folder.
  cd "$build"
  "$build/$t" "${options[@]}" "$@" "$corpus" "$root/fuzz/corpus/$t"
}

case "${1:-}" in
  replay) replay ;;
  run)
    [ $# -ge 3 ] || usage
    shift
    run "$@"
    ;;
  build) build_targets ;;
  list) printf '%s\n' "${targets[@]}" ;;
  *) usage ;;
esac
