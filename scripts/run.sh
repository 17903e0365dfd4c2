#!/usr/bin/env bash
# make run: starts fprsim on loopback unless something already listens on its
# port, gives fprtest a first INI that points at it, runs the console and stops
# the simulator it started when the console exits.
#   scripts/run.sh [BUILD_DIR]     (FPRSIM_PORT overrides the port, default 4999)
set -euo pipefail

BUILD=$(cd "${1:-build}" && pwd)
SIM="$BUILD/src/simulator/fprsim"
CONSOLE="$BUILD/src/console/fprtest"
HOST=127.0.0.1
PORT=${FPRSIM_PORT:-4999}

for exe in "$SIM" "$CONSOLE"; do
  if [ ! -x "$exe" ]; then
    echo "run.sh: $exe is missing; build first (make build)" >&2
    exit 1
  fi
done

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run.sh: no display (neither DISPLAY nor WAYLAND_DISPLAY is set); fprtest is a window." >&2
  echo "        Run it under a virtual display instead:  xvfb-run -a make run" >&2
  exit 1
fi

listening() { (exec 3<>"/dev/tcp/$HOST/$PORT") 2>/dev/null; }

SIM_PID=""
stop_sim() {
  if [ -n "$SIM_PID" ] && kill -0 "$SIM_PID" 2>/dev/null; then
    kill "$SIM_PID" 2>/dev/null || true
    wait "$SIM_PID" 2>/dev/null || true
  fi
}
trap stop_sim EXIT

if listening; then
  echo "run.sh: something already listens on $HOST:$PORT; using it"
else
  "$SIM" --tcp "$HOST:$PORT" &
  SIM_PID=$!
  for _ in $(seq 50); do
    listening && break
    kill -0 "$SIM_PID" 2>/dev/null || { echo "run.sh: fprsim did not start" >&2; exit 1; }
    sleep 0.1
  done
fi

# The INI rule of the console: beside the program when that folder is writable,
# else in the user's configuration folder.
if [ -w "$(dirname "$CONSOLE")" ]; then
  INI="${CONSOLE}.ini"
else
  INI="${XDG_CONFIG_HOME:-$HOME/.config}/fprtest/fprtest.ini"
fi
if [ ! -e "$INI" ]; then
  mkdir -p "$(dirname "$INI")"
  printf '[Communication]\r\nPortNo=1\r\nBaudNo=115200\r\nIP_Address=%s\r\nTCP_port=%s\r\nUseTCP=1\r\n' \
    "$HOST" "$PORT" >"$INI"
  echo "run.sh: wrote $INI (TCP $HOST:$PORT)"
fi

status=0
"$CONSOLE" || status=$?
exit "$status"
