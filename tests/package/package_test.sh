#!/usr/bin/env bash
# Usage: package_test.sh BUILD_DIR
set -euo pipefail
build_dir=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build_dir" && cpack -G DEB -B "$scratch/out" >"$scratch/cpack.log" 2>&1) ||
  { cat "$scratch/cpack.log" >&2; fail "cpack could not build the package"; }
deb=$(ls "$scratch"/out/rdsmorvane_1.10_*.deb)
[ "$(dpkg-deb -f "$deb" Package) $(dpkg-deb -f "$deb" Version)" = "rdsmorvane 1.10" ] ||
  fail "package name and version: $(dpkg-deb -f "$deb" Package Version)"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6core6 libqt6widgets6 libqt6serialport6 libsystemd0 passwd; do
  [[ ",$depends," =~ [,\ ]$library[\ ,] ]] || fail "Depends lacks $library: $depends"
done

root="$scratch/root"
dpkg-deb -x "$deb" "$root"
for path in usr/bin/rdsmorvane usr/bin/rds-encoder-sim usr/lib/rdsmorvane/rdsmorvane-web.so \
  usr/share/man/man1/rdsmorvane.1.gz usr/share/man/man1/rds-encoder-sim.1.gz \
  usr/lib/systemd/system/rdsmorvane.service usr/lib/systemd/system/rdsmorvane@.service \
  usr/share/applications/rdsmorvane.desktop usr/share/icons/hicolor/scalable/apps/rdsmorvane.svg \
  usr/share/doc/rdsmorvane/README.md usr/share/doc/rdsmorvane/docs/screenshot.png \
  usr/share/doc/rdsmorvane/copyright usr/share/doc/rdsmorvane/changelog.gz \
  usr/share/doc/rdsmorvane/examples/RDSmorvane.ini; do
  [ -f "$root/$path" ] || fail "$path is not in the package"
done
dpkg-deb -e "$deb" "$scratch/control"
for script in postinst prerm postrm; do
  [ -x "$scratch/control/$script" ] && sh -n "$scratch/control/$script" ||
    fail "maintainer script $script missing, not executable or does not parse"
done

# Qt comes from the system, so the unpacked programs run as they are.
[ "$("$root/usr/bin/rdsmorvane" --version)" = "rdsmorvane 1.10" ] &&
  "$root/usr/bin/rds-encoder-sim" --version | grep -q "1.10" || fail "--version printed something else"

# The INI file a fresh install starts from must be one start-up accepts. Its serial port is
# checked too, and this machine need not have one: it names the port's device and stops there.
work="$scratch/work"
mkdir "$work"
cp "$root/usr/share/doc/rdsmorvane/examples/RDSmorvane.ini" "$work/"
(cd "$work" && "$root/usr/bin/rdsmorvane" --check) >"$scratch/check.txt" 2>"$scratch/check.err" ||
  grep -q '^rdsmorvane: Serial port /dev/ttyUSB0 (COMport) cannot be used: ' "$scratch/check.err" ||
  fail "--check rejects the packaged RDSmorvane.ini: $(cat "$scratch/check.err")"
grep -q '^EncoderType *"PIRA32"$' "$scratch/check.txt" ||
  fail "--check on the packaged INI: $(cat "$scratch/check.txt")"

# The unpacked program finds its web server module: start-up gets past it to the missing port.
printf '[RDSmorvane]\nCOMport=/nonexistent/port\nWebListen=127.0.0.1:8799\n' >"$work/RDSmorvane.ini"
(cd "$work" && "$root/usr/bin/rdsmorvane" --headless </dev/null) >/dev/null 2>"$scratch/start.txt" &&
  fail "start-up went on without a port"
grep -q "cannot be loaded" "$scratch/start.txt" && fail "no web module: $(cat "$scratch/start.txt")"
grep -q "/nonexistent/port\|cannot listen" "$scratch/start.txt" ||
  fail "start-up said: $(cat "$scratch/start.txt")"
