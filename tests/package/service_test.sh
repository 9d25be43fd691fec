#!/usr/bin/env bash
# Usage: service_test.sh SOURCE_DIR PROGRAM SIMULATOR
set -euo pipefail
units=$1/packaging/systemd program=$2 simulator=$3
scratch=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# Waits up to 10 s for text $2 in file $1.
wait_for() { for _ in $(seq 100); do grep -qF -- "$2" "$1" 2>/dev/null && return; sleep 0.1; done; false; }
# Sends signal $1 to pid $2, which must end within 3 s with exit status $3.
stop() {
  kill "-$1" "$2"
  for _ in $(seq 30); do kill -0 "$2" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$2" 2>/dev/null && fail "SIG$1 did not end the program"
  status=0 && wait "$2" || status=$?
  [ "$status" = "$3" ] || fail "SIG$1: status $status"
}

# The template is the plain unit in another working directory, nothing else; both verify.
same() { grep -v -e '^#' -e '^Description=' -e '^WorkingDirectory=' "$units/$1"; }
diff <(same rdsmorvane.service) <(same rdsmorvane@.service) || fail "the units drifted apart"
for unit in rdsmorvane.service rdsmorvane@.service; do
  command -v systemd-analyze >/dev/null || break
  sed "s|/usr/bin/rdsmorvane|$program|" "$units/$unit" >"$scratch/$unit"
  report=$(systemd-analyze verify --man=no "$scratch/$unit" 2>&1) && [ -z "$report" ] ||
    fail "$unit: $report"
done

# A display that does not answer: headless, then the start-up error (no INI here), no abort.
status=0
(cd "$scratch" && env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:4242 "$program") \
  >"$scratch/out" 2>&1 || status=$?
grep -qF "the display cannot be reached (DISPLAY=:4242), running headless" "$scratch/out" &&
  [ "$status" = 1 ] || fail "status $status: $(cat "$scratch/out")"

# A start-up error's message box ends on SIGTERM, with the message on stderr too.
(cd "$scratch" && QT_QPA_PLATFORM=offscreen exec "$program") >"$scratch/box" 2>&1 &
wait_for "$scratch/box" "RDSmorvane.ini was not found" || fail "no message on stderr"
stop TERM $! 1

# Running headless, each of these ends it between two handlers, with status 0.
"$simulator" --dialect ascii --link "$scratch/encoder" >/dev/null &
printf '[RDSmorvane]\r\nCOMport=%s\r\nEncoderType=NONE\r\n' "$scratch/encoder" \
  >"$scratch/RDSmorvane.ini"
for signal in HUP QUIT USR1 USR2 TERM INT; do
  (cd "$scratch" && exec "$program" --headless) >"$scratch/$signal" 2>&1 &
  wait_for "$scratch/$signal" 'lblEncoderType "NONE"' || fail "SIG$signal: no start-up"
  stop "$signal" $! 0
done
