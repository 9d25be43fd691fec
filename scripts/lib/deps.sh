# Debian packages the build and its tests need (chromium: the status page in a real browser);
# installed with apt-get when missing and we are root.
MORVANE_BUILD_PACKAGES=(cmake g++ make pkg-config libgtest-dev libgmock-dev googletest
  qt6-base-dev qt6-serialport-dev libgl-dev libsystemd-dev dpkg-dev clang-tidy libcpp-httplib-dev
  chromium)

ensure_build_deps() {
  local missing=()
  for pkg in "${MORVANE_BUILD_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: ${missing[*]}; install them with: sudo apt-get install ${missing[*]}" >&2
    return 1
  fi
  echo "Installing ${missing[*]}" >&2
  apt-get update -q
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}
