#!/usr/bin/env bash
# Installs the Debian packages Zorvik needs to build, run and test.
# Idempotent and quick when everything is there already.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libwxgtk3.2-dev libgtk-3-dev libx11-dev libgl-dev libglu1-mesa-dev libegl-dev libegl-mesa0 libgl1-mesa-dri
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev libstb-dev libpng-dev
  libtinygltf-dev
  # The import of foreign models: the import library, the simplifier, and
  # Debian's test models the import tests read.
  libassimp-dev libmeshoptimizer-dev assimp-testmodels
  xvfb xauth xdotool x11-utils imagemagick assimp-utils f3d
  # The window manager the window tests also run under.
  openbox
  # The desktop integration and its tests: menu entry, file types (the
  # generic and the GNOME way), man page, the Debian package, the icon tool.
  desktop-file-utils shared-mime-info xdg-utils libfile-mimeinfo-perl libglib2.0-bin
  groff-base dpkg-dev libcairo2-dev
  # The package's checks: lintian, the AppStream validator, the shells
  # whose completion the tests run.
  lintian appstream bash-completion zsh
  # The fuzz targets the test command runs: clang with libFuzzer.
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
# Node and npm run the glTF validator; a Node from elsewhere that brings its
# own npm will do.
if ! command -v npm >/dev/null 2>&1; then
  missing+=(nodejs npm)
fi
if [ ${#missing[@]} -ne 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    SUDO=sudo
  else
    SUDO=
  fi
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The Khronos glTF validator the export tests run, at the version the lock
# file names, in the project's own folder.
js="$(cd "$(dirname "$0")/.." && pwd)/tests/js"
if [ ! -f "$js/node_modules/gltf-validator/package.json" ]; then
  echo "Installing the glTF validator into $js"
  npm ci --prefix "$js" --no-audit --no-fund --silent
fi
