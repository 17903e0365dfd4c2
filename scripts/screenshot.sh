#!/usr/bin/env bash
# A picture of the console after one command: fprtest runs under Xvfb against a
# simulator of its own on a free loopback port, clicks one button (shown on its
# tab; the FPRTEST_DEMO_BUTTON hook) or, without one, sends 4AH "W" from the
# manual page (FPRTEST_DEMO_COMMAND), and the whole screen is saved as PNG.
#   scripts/screenshot.sh [--first-start] [--page PAGE] [BUILD_DIR] [OUT_PNG] [BUTTON]
#   (default build, out/screenshot.png, the manual command)
#   e.g. scripts/screenshot.sh build out/information.png btnGetPRNStatus
# --page PAGE: only bring that page (objectName, e.g. TS_PLU) to the front,
# with nothing sent and the log empty.
# --first-start: no window placement is stored yet, as on the console's first
# start, on a 1280x800 screen; otherwise the window fills a 1280x900 screen.
# The user's settings are not touched: the console runs from a copy in a
# temporary folder, with its INI and placement files there.
set -euo pipefail

FIRST_START=${FPR_SCREENSHOT_FIRST_START:-}
PAGE=${FPR_SCREENSHOT_PAGE:-}
while [ $# -gt 0 ]; do
  case "$1" in
    --first-start) FIRST_START=1; shift ;;
    --page) PAGE=${2:?--page needs a page name}; shift 2 ;;
    *) break ;;
  esac
done

BUILD=$(cd "${1:-build}" && pwd)
OUT=${2:-out/screenshot.png}
SIM="$BUILD/src/simulator/fprsim"
CONSOLE="$BUILD/src/console/fprtest"

if [ -z "${FPR_SCREENSHOT_INNER:-}" ]; then
  for tool in xvfb-run import; do
    command -v "$tool" >/dev/null || { echo "screenshot.sh: $tool is missing" >&2; exit 1; }
  done
  mkdir -p "$(dirname "$OUT")"
  OUT_ABS="$(cd "$(dirname "$OUT")" && pwd)/$(basename "$OUT")"
  SCREEN=1280x900x24
  [ -n "$FIRST_START" ] && SCREEN=1280x800x24
  FPR_SCREENSHOT_INNER=1 FPR_SCREENSHOT_FIRST_START="$FIRST_START" FPR_SCREENSHOT_PAGE="$PAGE" \
    exec xvfb-run -a -s "-screen 0 $SCREEN" "$0" "$BUILD" "$OUT_ABS" "${3:-}"
fi
BUTTON=${3:-}

WORK=$(mktemp -d)
SIM_PID=""
CONSOLE_PID=""
cleanup() {
  for pid in "$CONSOLE_PID" "$SIM_PID"; do
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
      kill "$pid" 2>/dev/null || true
      wait "$pid" 2>/dev/null || true
    fi
  done
  rm -rf "$WORK"
}
trap cleanup EXIT

"$SIM" --tcp 127.0.0.1:0 >"$WORK/sim.out" 2>&1 &
SIM_PID=$!
PORT=""
for _ in $(seq 50); do
  PORT=$(sed -n 's/^fprsim: listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$WORK/sim.out")
  [ -n "$PORT" ] && break
  sleep 0.1
done
[ -n "$PORT" ] || { echo "screenshot.sh: fprsim did not start" >&2; cat "$WORK/sim.out" >&2; exit 1; }

cp "$CONSOLE" "$WORK/fprtest"
printf '[Communication]\r\nIP_Address=127.0.0.1\r\nTCP_port=%s\r\nUseTCP=1\r\n[Options]\r\nShowHex=1\r\nShowDetailed=1\r\nShowRaw=1\r\nShowStatus=1\r\n' \
  "$PORT" >"$WORK/fprtest.ini"
mkdir -p "$WORK/config"
if [ -z "$FIRST_START" ]; then
  printf '[MAIN WINDOW]\r\nFlags=0\r\nShowCmd=1\r\nPixelsPerInch=96\r\nMinMaxPos=-1,-1,-1,-1\r\nNormPos=0,0,1280,900\r\n' \
    >"$WORK/config/fprtest.INI"
fi

if [ -n "$PAGE" ]; then
  XDG_CONFIG_HOME="$WORK/config" FPRTEST_DEMO_PAGE="$PAGE" "$WORK/fprtest" &
elif [ -n "$BUTTON" ]; then
  XDG_CONFIG_HOME="$WORK/config" FPRTEST_DEMO_BUTTON="$BUTTON" "$WORK/fprtest" &
else
  XDG_CONFIG_HOME="$WORK/config" FPRTEST_DEMO_COMMAND=4A FPRTEST_DEMO_PARAMS=W "$WORK/fprtest" &
fi
CONSOLE_PID=$!
sleep 4
kill -0 "$CONSOLE_PID" 2>/dev/null || { echo "screenshot.sh: fprtest exited early" >&2; exit 1; }
import -window root "$OUT"
echo "screenshot.sh: saved $OUT"
