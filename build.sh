#!/usr/bin/env bash
# One entry point for a fresh Debian 12 machine:
#   ./build.sh run   installs the missing Debian packages, builds, and starts vbgen
#   ./build.sh test  installs the missing Debian packages, builds, and runs every test
#   ./build.sh build installs and builds only
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(cmake g++ make pkg-config libsqlite3-dev libgtest-dev libgmock-dev
          qt6-base-dev libgl-dev nlohmann-json3-dev sqlfluff fonts-noto-cjk xdg-utils xvfb xauth)

install_missing() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [[ $(id -u) -ne 0 ]] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
  fi
}

build() {
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build -j"$(nproc)"
}

case "${1:-run}" in
  build) install_missing; build ;;
  test)
    install_missing; build
    cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" ;;
  run)
    install_missing; build
    shift || true
    # Without a display (a headless machine), the window runs on a virtual one.
    if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
      exec xvfb-run -a -s "-screen 0 1280x1024x24" build/bin/vbgen "$@"
    fi
    exec build/bin/vbgen "$@" ;;
  *) echo "usage: $0 [run|test|build]" >&2; exit 2 ;;
esac
