# Shared by run.sh and test.sh: install the Debian packages that are missing,
# then configure and build into build/. Sourced, not run.
set -euo pipefail

TESSALY_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
TESSALY_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-webengine-dev qt6-webengine-dev-tools libgl-dev
  libgtest-dev libgmock-dev
  libavformat-dev libavcodec-dev libavutil-dev libswscale-dev libswresample-dev libavfilter-dev
  librsvg2-bin desktop-file-utils appstream dpkg-dev
  fonts-wqy-microhei qt6-translations-l10n
  nginx chromium
)

tessaly_install_packages() {
  local missing=()
  for package in "${TESSALY_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  # The web server and the browser are for the end-to-end tests, which
  # start their own instances: the server's service is kept from starting
  # during the install.
  local policy=/usr/sbin/policy-rc.d made_policy=""
  if [ ! -e "$policy" ]; then
    printf '#!/bin/sh\nexit 101\n' | $sudo tee "$policy" >/dev/null
    $sudo chmod 755 "$policy"
    made_policy=1
  fi
  local status=0
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" || status=$?
  [ -n "$made_policy" ] && $sudo rm -f "$policy"
  return $status
}

tessaly_build() {
  local build="$TESSALY_ROOT/build"
  if [ ! -f "$build/CMakeCache.txt" ]; then
    local launcher=()
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    cmake -S "$TESSALY_ROOT" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}"
  fi
  cmake --build "$build" --parallel "$(nproc)"
}
