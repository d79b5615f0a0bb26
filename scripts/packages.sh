# Installs the Debian packages the project needs when one is missing. Sourced by the scripts.
ccp_install_packages() {
  local wanted=(cmake ninja-build g++ pkg-config googletest libgtest-dev libgmock-dev libbenchmark-dev
    libsoci-dev libboost-dev libsqlite3-dev libpq-dev libssl-dev postgresql postgresql-common
    qt6-base-dev libgl-dev xvfb xdotool imagemagick fonts-dejavu-core clang libclang-rt-14-dev
    dpkg-dev file lintian help2man libqt6svg6 x11-utils libcli11-dev nlohmann-json3-dev
    libsystemd-dev dbus-daemon dbus-bin polkitd rtkit "$@")
  local missing=()
  for p in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
