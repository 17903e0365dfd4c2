#!/usr/bin/env bash
# Checks a built package: lintian without errors, then every program run from
# the unpacked files. Usage: check-package.sh PACKAGE.deb PROGRAM...
set -euo pipefail
deb=$1
shift

echo "-- lintian $(basename "$deb")"
# lintian's exit code also counts warnings; only errors fail the check.
report=$(lintian --tag-display-limit 0 "$deb" || true)
[ -z "$report" ] || echo "$report"
if grep -q '^E:' <<<"$report"; then
  echo "lintian reports errors" >&2
  exit 1
fi

root=$(mktemp -d)
sim_pid=""
cleanup() {
  if [ -n "$sim_pid" ]; then kill "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true; fi
  rm -rf "$root"
}
trap cleanup EXIT
dpkg-deb -x "$deb" "$root"
bin=$root/usr/bin

for p in "$@"; do
  echo "-- $p --help"
  [ -x "$bin/$p" ] || { echo "$p is not in the package" >&2; exit 1; }
  "$bin/$p" --help >/dev/null
  [ -s "$root/usr/share/man/man1/$p.1.gz" ] || { echo "no manual page for $p" >&2; exit 1; }
done
for f in applications/fprtest.desktop icons/hicolor/scalable/apps/fprtest.svg \
         doc/velmora-fpr-tools/copyright doc/velmora-fpr-tools/README.md; do
  [ -s "$root/usr/share/$f" ] || { echo "missing /usr/share/$f" >&2; exit 1; }
done

# Output is captured whole: grep -q on a pipe would close it early and the
# program would die of SIGPIPE under pipefail.
echo "-- fprcmd --list"
list=$("$bin/fprcmd" --list)
grep -q GetPrinterStatus <<<"$list"

echo "-- fprtest --version"
version=$("$bin/fprtest" --version)
grep -q '^fprtest [0-9]' <<<"$version"

echo "-- fprsim answers fprcmd"
log=$root/fprsim.log
"$bin/fprsim" --tcp 127.0.0.1:0 >"$log" 2>&1 &
sim_pid=$!
port=""
for _ in $(seq 50); do
  port=$(sed -n 's/^fprsim: listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$log")
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || { cat "$log" >&2; echo "fprsim did not start" >&2; exit 1; }
"$bin/fprcmd" --tcp "127.0.0.1:$port" 4A W | tee "$root/answer.txt"
grep -q '^Result: OK' "$root/answer.txt"
echo "package check passed"
