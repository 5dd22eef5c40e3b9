#!/usr/bin/env bash
# One entry point for a fresh Debian 12 machine:
#   ./build.sh run   installs the missing Debian packages, builds, and starts vbgen
#   ./build.sh test  installs the missing Debian packages, builds, and runs every test
#   ./build.sh build installs and builds only
set -euo pipefail
cd "$(dirname "$0")"

# What the build, the tests, the package and CI's clang-tidy need; nothing they merely
# recommend.
PACKAGES=(cmake g++ make pkg-config libsqlite3-dev libgtest-dev libgmock-dev libxxhash-dev
          qt6-base-dev qt6-translations-l10n libgl-dev nlohmann-json3-dev sqlfluff fonts-noto-cjk
          xdg-utils xvfb xauth dpkg-dev file desktop-file-utils appstream bash-completion
          clang-tidy clang-format lintian)

install_missing() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  ((${#missing[@]})) || return 0
  local install=(apt-get install -y -qq --no-install-recommends "${missing[@]}")
  local sudo=()
  if [[ $(id -u) -ne 0 ]]; then
    if ! command -v sudo >/dev/null 2>&1; then
      echo "Missing Debian packages: ${missing[*]}" >&2
      echo "Without sudo they cannot be installed from here; as root, run:" >&2
      echo "  apt-get update && ${install[*]}" >&2
      echo "then run $0 ${1:-run} again." >&2
      exit 1
    fi
    sudo=(sudo)
  fi
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" "${install[@]}"
}

# The presets of CMakePresets.json: "default" for the program, "ci" (the same, with warnings
# as errors) for the tests.
build() {
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1" -j"$(nproc)"
}

case "${1:-run}" in
  build) install_missing build; build default ;;
  test)
    install_missing test; build ci
    ctest --preset ci -j"$(nproc)" ;;
  run)
    install_missing run; build default
    shift || true
    # Without a display (a headless machine), the window runs on a virtual one.
    if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
      exec xvfb-run -a -s "-screen 0 1280x1024x24" build/bin/vbgen "$@"
    fi
    exec build/bin/vbgen "$@" ;;
  *) echo "usage: $0 [run|test|build]" >&2; exit 2 ;;
esac
