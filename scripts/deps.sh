# Sourced by scripts/run and scripts/test: installs the Debian packages that
# are missing (apt-get update only when something is).
PACKAGES="cmake ninja-build g++ clang-format qt6-base-dev libgl-dev libgtest-dev libgmock-dev libbenchmark-dev dasm fonts-dejavu-core fonts-liberation2 xvfb openbox qt6-translations-l10n"
install_missing() {
  local missing=""
  for p in $PACKAGES "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
  done
  if [ -n "$missing" ]; then
    echo "Installing:$missing"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends $missing
  fi
}
