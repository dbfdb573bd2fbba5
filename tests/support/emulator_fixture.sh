#!/usr/bin/env bash
# The native register emulator for test programs that cannot start it
# themselves (Windows programs under Wine), as a CTest fixture:
#
#   emulator_fixture.sh start EMULATOR DIR   start it on a free loopback port
#   emulator_fixture.sh stop EMULATOR DIR    stop the one started from DIR
#
# DIR keeps its process id, its output and address.env, a line
# "KELVO_EMULATOR_ADDRESS=127.0.0.1:PORT" for the test programs' environment.
set -euo pipefail
action="$1"; emulator="$2"; dir="$3"
mkdir -p "$dir"

stop() {
  [ -f "$dir/pid" ] || return 0
  local pid
  pid=$(cat "$dir/pid")
  rm -f "$dir/pid" "$dir/address.env"
  # Only the process started from here, and only while it still is that program.
  if [ "$(readlink "/proc/$pid/exe" 2>/dev/null)" = "$(readlink -f "$emulator")" ]; then
    kill -TERM "$pid"
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || return 0; sleep 0.1; done
    kill -KILL "$pid" 2>/dev/null || true
  fi
}

case "$action" in
  start)
    stop
    [ -x "$emulator" ] || { echo "no emulator at $emulator (build linux-x64 first)"; exit 1; }
    # Detached from the test's output, so that CTest does not wait for it.
    "$emulator" --host 127.0.0.1 --port 0 </dev/null >"$dir/output" 2>&1 &
    echo $! >"$dir/pid"
    for _ in $(seq 100); do
      address=$(sed -n 's/^listening on //p' "$dir/output")
      if [ -n "$address" ]; then
        echo "KELVO_EMULATOR_ADDRESS=$address" >"$dir/address.env"
        echo "emulator listening on $address"
        exit 0
      fi
      kill -0 "$(cat "$dir/pid")" 2>/dev/null || break
      sleep 0.1
    done
    echo "the emulator did not start:"; cat "$dir/output"; stop; exit 1
    ;;
  stop) stop ;;
  *) echo "usage: $0 start|stop EMULATOR DIR"; exit 2 ;;
esac
