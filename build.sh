#!/usr/bin/env bash
# One entry point for a fresh Debian 12 machine:
#   ./build.sh run   installs the missing Debian packages, builds, and starts vbgen
#   ./build.sh test  installs the missing Debian packages, builds, and runs every test (the
#                    Windows build under Wine too)
#   ./build.sh build installs and builds only
#   ./build.sh windows       cross-builds vbgen-cli.exe for 64-bit Windows and makes its zip
#   ./build.sh windows-test  the same build, its core suite under Wine, and the comparison of
#                            its output with the Linux program's (tools/windows-test.sh)
set -euo pipefail
cd "$(dirname "$0")"

# What the build, the tests, the package and CI's clang-tidy need; nothing they merely
# recommend.
PACKAGES=(cmake g++ make pkg-config libsqlite3-dev libgtest-dev libgmock-dev libxxhash-dev
          qt6-base-dev qt6-translations-l10n libgl-dev nlohmann-json3-dev sqlfluff fonts-noto-cjk
          xdg-utils xvfb xauth dpkg-dev file desktop-file-utils appstream bash-completion
          clang-tidy clang-format lintian)
# What only the Windows commands need besides: the cross compiler and Wine to run its programs.
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix wine wine64 python3)

# install_missing COMMAND [EXTRA PACKAGES...]
install_missing() {
  local command=$1
  shift
  local missing=()
  for p in "${PACKAGES[@]}" "$@"; do
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
      echo "then run $0 $command again." >&2
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
    # Every test: the Linux suites, then the Windows build's core suite under Wine and its
    # output against the Linux program's.
    install_missing test "${WINDOWS_PACKAGES[@]}"; build ci
    ctest --preset ci -j"$(nproc)"
    tools/windows-test.sh build ;;
  run)
    install_missing run; build default
    shift || true
    # Without a display (a headless machine), the window runs on a virtual one.
    if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
      exec xvfb-run -a -s "-screen 0 1280x1024x24" build/bin/vbgen "$@"
    fi
    exec build/bin/vbgen "$@" ;;
  windows)
    install_missing windows "${WINDOWS_PACKAGES[@]}"
    cmake -S . -B build-windows -G "Unix Makefiles" --toolchain cmake/mingw-w64-x86_64.cmake \
          -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build build-windows -j"$(nproc)" --target vbgen-cli vbgen_data
    (cd build-windows && LC_ALL=C.UTF-8 cpack -G ZIP)
    ls -l build-windows/vbgen-cli-*-windows-x64.zip ;;
  windows-test)
    install_missing windows-test "${WINDOWS_PACKAGES[@]}"; build ci
    tools/windows-test.sh build ;;
  *) echo "usage: $0 [run|test|build|windows|windows-test]" >&2; exit 2 ;;
esac
