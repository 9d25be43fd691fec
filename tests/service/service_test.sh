#!/usr/bin/env bash
# Usage: service_test.sh units|display|signals SOURCE_DIR PROGRAM SIMULATOR
# How the program behaves as a service: the units, a display it cannot reach, stop signals.
set -euo pipefail
what=$1 source_dir=$2 program=$3 simulator=$4
scratch=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
# Waits up to $3 tenths of a second for text $2 in file $1.
wait_for() {
  for _ in $(seq "$3"); do grep -qF -- "$2" "$1" 2>/dev/null && return 0; sleep 0.1; done
  return 1
}
# Sets status to the exit status of pid $1, which must end within $2 tenths of a second.
end_within() {
  for _ in $(seq "$2"); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$1" 2>/dev/null && { kill -KILL "$1"; fail "still running after a stop signal"; }
  status=0
  wait "$1" || status=$?
}

case $what in
units)
  units=$source_dir/packaging/systemd
  # The template is the plain unit for another working directory; nothing else may drift.
  same() { grep -v -e '^#' -e '^Description=' -e '^WorkingDirectory=' "$1"; }
  diff <(same "$units/rdsmorvane.service") <(same "$units/rdsmorvane@.service") ||
    fail "rdsmorvane@.service differs from rdsmorvane.service beyond its working directory"
  command -v systemd-analyze >/dev/null || { echo "no systemd-analyze: not verified"; exit 0; }
  for unit in rdsmorvane.service rdsmorvane@.service; do
    # The program where ExecStart expects it is not installed here; the built one stands in.
    sed "s|/usr/bin/rdsmorvane|$program|" "$units/$unit" >"$scratch/$unit"
    report=$(systemd-analyze verify --man=no "$scratch/$unit" 2>&1) || fail "$unit: $report"
    [ -z "$report" ] || fail "$unit: $report"
  done
  ;;
display)
  # Not reachable: headless, and the start-up error (no INI here) ends it, not an abort.
  status=0
  (cd "$scratch" && env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:4242 "$program") \
    >"$scratch/out" 2>&1 || status=$?
  grep -qF "rdsmorvane: the display cannot be reached (DISPLAY=:4242), running headless" \
    "$scratch/out" || fail "no fallback line: $(cat "$scratch/out")"
  [ "$status" = 1 ] || fail "exit status $status: $(cat "$scratch/out")"
  ;;
signals)
  # A start-up error's message box: on stderr too, and a stop signal ends it.
  (cd "$scratch" && QT_QPA_PLATFORM=offscreen exec "$program") >"$scratch/box" 2>&1 &
  pid=$!
  pids+=("$pid")
  wait_for "$scratch/box" "RDSmorvane.ini was not found" 100 || fail "no message on stderr"
  kill -TERM "$pid"
  end_within "$pid" 30
  [ "$status" = 1 ] || fail "the message box ended on SIGTERM with status $status"
  # Running headless: each of these ends the program between two handlers, with status 0.
  "$simulator" --dialect ascii --link "$scratch/encoder" >/dev/null &
  pids+=("$!")
  printf '[RDSmorvane]\r\nCOMport=%s\r\nEncoderType=NONE\r\n' "$scratch/encoder" \
    >"$scratch/RDSmorvane.ini"
  for signal in HUP QUIT USR1 USR2 TERM INT; do
    (cd "$scratch" && exec "$program" --headless) >"$scratch/$signal" 2>&1 &
    pid=$!
    pids+=("$pid")
    wait_for "$scratch/$signal" 'lblEncoderType "NONE"' 100 || fail "SIG$signal: no start-up"
    kill "-$signal" "$pid"
    end_within "$pid" 30
    [ "$status" = 0 ] || fail "SIG$signal: exit status $status: $(cat "$scratch/$signal")"
  done
  ;;
esac
echo "ok: $what"
