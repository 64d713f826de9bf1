#!/usr/bin/env bash
# Cross-builds Zorvik for 64-bit Windows on Debian 12 and packs the portable
# zip: build-windows/zorvik-<version>-win64.zip.
#
# The libraries the program links are not packaged for MinGW, so their
# Debian sources are built static into ~/.cache/zorvik/win64 once; a later
# run reuses them until this recipe changes. The first run takes long
# (wxWidgets); set ZORVIK_JOBS to use more cores than two.
#
#   bash scripts/build-windows.sh            # libraries if needed, program, zip
#   bash scripts/build-windows.sh --libs     # the libraries only
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cache=${ZORVIK_WIN64_CACHE:-$HOME/.cache/zorvik/win64}
jobs=${ZORVIK_JOBS:-2}
host=x86_64-w64-mingw32
# The POSIX thread model of Debian's MinGW, for every library and the
# program alike: std::thread and std::mutex need it.
export CC=$host-gcc-posix CXX=$host-g++-posix
build=$root/build-windows

say() { printf '== %s\n' "$*"; }

if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi

install_tools() {
  local packages=(g++-mingw-w64-x86-64 mingw-w64-tools wine64 wine dpkg-dev cmake ninja-build
                  make zip unzip libcli11-dev nlohmann-json3-dev libstb-dev libtinygltf-dev
                  libutfcpp-dev googletest xvfb xauth x11-apps imagemagick libx11-dev
                  libxcomposite-dev icoutils xdotool)
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  # apt-get source needs the source indexes; Debian 12's stanza file lists
  # binary packages only.
  local src_list=/etc/apt/sources.list.d/zorvik-deb-src.sources
  local need_update=0
  if ! grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    say "adding the Debian source indexes ($src_list)"
    $SUDO tee "$src_list" >/dev/null <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
    need_update=1
  fi
  if [ ${#missing[@]} -ne 0 ] || [ $need_update -eq 1 ]; then
    say "installing ${missing[*]:-source indexes}"
    $SUDO apt-get update
    [ ${#missing[@]} -eq 0 ] ||
      DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
  fi
}

# Each library's recipe: the function that builds it and the compilers
# (for a CMake build, the toolchain file). A change to it rebuilds that
# library only.
recipe_hash() {
  {
    declare -f "build_$1"
    printf '%s\n' "$host" "$CC" "$CXX"
    case $1 in gtest | assimp) cat "$root/cmake/mingw-w64.cmake" ;; esac
  } | sha256sum | cut -c1-16
}

# Unpacks Debian's source of $1 into $cache/src and prints its folder.
fetch_source() {
  local package=$1
  mkdir -p "$cache/src"
  local dir
  dir=$(find "$cache/src" -maxdepth 1 -mindepth 1 -type d -name "$2-*" | head -n1)
  if [ -z "$dir" ]; then
    (cd "$cache/src" && apt-get source --only-source "$package" >&2)
    dir=$(find "$cache/src" -maxdepth 1 -mindepth 1 -type d -name "$2-*" | head -n1)
  fi
  [ -n "$dir" ] || { echo "no source folder for $package" >&2; exit 1; }
  echo "$dir"
}

build_zlib() {
  local src
  src=$(fetch_source zlib zlib)
  say "zlib ($src)"
  rm -rf "$cache/build/zlib" && mkdir -p "$cache/build/zlib"
  cp -a "$src/." "$cache/build/zlib/"
  # Debian's source leaves out zlib's Windows makefiles; its configure
  # builds the static library with any compiler.
  (cd "$cache/build/zlib" &&
    AR=$host-ar RANLIB=$host-ranlib ./configure --static --prefix="$cache" &&
    make -j"$jobs" libz.a)
  install -d "$cache/include" "$cache/lib"
  install -m644 "$cache/build/zlib/zlib.h" "$cache/build/zlib/zconf.h" "$cache/include/"
  install -m644 "$cache/build/zlib/libz.a" "$cache/lib/"
}

build_libpng() {
  local src
  src=$(fetch_source libpng1.6 libpng1.6)
  say "libpng ($src)"
  rm -rf "$cache/build/libpng" && mkdir -p "$cache/build/libpng"
  (cd "$cache/build/libpng" &&
    "$src/configure" --host=$host --prefix="$cache" --disable-shared --enable-static \
      CPPFLAGS="-I$cache/include" LDFLAGS="-L$cache/lib" &&
    make -j"$jobs" && make install)
}

build_wx() {
  local src
  src=$(fetch_source wxwidgets3.2 wxwidgets3.2)
  say "wxWidgets ($src)"
  rm -rf "$cache/build/wx" && mkdir -p "$cache/build/wx"
  # Only what the window uses: core, base, aui and OpenGL. No network, no
  # HTML or XML, no web view or media; images through the libpng above.
  (cd "$cache/build/wx" &&
    "$src/configure" --host=$host --prefix="$cache" --disable-shared --enable-unicode \
      --with-msw --with-opengl --with-zlib=sys --with-libpng=sys --without-libjpeg \
      --without-libtiff --without-expat --with-regex=builtin --without-liblzma \
      --disable-xrc --disable-html --disable-webview --disable-mediactrl --disable-propgrid \
      --disable-ribbon --disable-richtext --disable-stc --disable-sockets --disable-webrequest \
      --disable-debugreport --disable-secretstore --disable-svg --disable-sound \
      --disable-joystick --disable-help --disable-mshtmlhelp \
      CPPFLAGS="-I$cache/include" LDFLAGS="-L$cache/lib" &&
    make -j"$jobs" && make install)
}

# GoogleTest for the test programs that run under Wine.
build_gtest() {
  say "googletest"
  rm -rf "$cache/build/gtest" && mkdir -p "$cache/build/gtest"
  cmake -S /usr/src/googletest -B "$cache/build/gtest" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$cache" -Dgtest_disable_pthreads=OFF
  cmake --build "$cache/build/gtest" -j"$jobs"
  cmake --install "$cache/build/gtest"
}

# glTF: Debian's source of the library, with the image code of the stb
# headers compiled in as the library's own source file asks.
build_tinygltf() {
  local src
  src=$(fetch_source tinygltf tinygltf)
  say "tinygltf ($src)"
  rm -rf "$cache/build/tinygltf" && mkdir -p "$cache/build/tinygltf" "$cache/lib"
  $CXX -std=c++17 -O2 -I"$src" -I"$cache/headers" -I"$cache/headers/stb" \
    -c "$src/tiny_gltf.cc" -o "$cache/build/tinygltf/tiny_gltf.o"
  rm -f "$cache/lib/libtinygltf.a"
  $host-ar rcs "$cache/lib/libtinygltf.a" "$cache/build/tinygltf/tiny_gltf.o"
}

# The mesh simplifier of the import: a handful of source files.
build_meshoptimizer() {
  local src
  src=$(fetch_source meshoptimizer meshoptimizer)
  say "meshoptimizer ($src)"
  rm -rf "$cache/build/meshoptimizer" && mkdir -p "$cache/build/meshoptimizer" "$cache/lib"
  local objects=()
  for file in "$src"/src/*.cpp; do
    local object=$cache/build/meshoptimizer/$(basename "$file" .cpp).o
    $CXX -O2 -c "$file" -o "$object"
    objects+=("$object")
  done
  rm -f "$cache/lib/libmeshoptimizer.a"
  $host-ar rcs "$cache/lib/libmeshoptimizer.a" "${objects[@]}"
  install -m644 "$src/src/meshoptimizer.h" "$cache/include/"
}

# The zip reader of zlib's source, which assimp's importers of zipped
# formats (3MF, IFC's .ifczip, AMF) read through, as Debian's libminizip.
build_minizip() {
  local src
  src=$(fetch_source zlib zlib)
  say "minizip ($src/contrib/minizip)"
  rm -rf "$cache/build/minizip" "$cache/lib/libminizip.a"
  mkdir -p "$cache/build/minizip" "$cache/lib/pkgconfig"
  (cd "$cache/build/minizip" &&
    $CC -O2 -I"$cache/include" -c "$src"/contrib/minizip/{ioapi,unzip,zip}.c &&
    $host-ar rcs "$cache/lib/libminizip.a" ioapi.o unzip.o zip.o)
  install -d "$cache/include/minizip"
  install -m644 "$src"/contrib/minizip/{ioapi,unzip,zip,crypt}.h "$cache/include/minizip/"
  cat >"$cache/lib/pkgconfig/minizip.pc" <<EOF
prefix=$cache
libdir=\${prefix}/lib
includedir=\${prefix}/include

Name: minizip
Description: zip file reader from zlib's source
Version: 1.2.13
Libs: -L\${libdir} -lminizip -lz
Cflags: -I\${includedir}/minizip
EOF
}

# The model importer, as Debian builds it (every importer, its system
# zlib, minizip, utf8cpp and stb) but static, without its tools, tests,
# samples and exporters. Debian's source asks for the system's draco
# unconditionally; there is none for MinGW, so this copy drops that line
# and its glTF importer goes without draco-compressed meshes.
build_assimp() {
  local src
  src=$(fetch_source assimp assimp)
  say "assimp ($src)"
  rm -rf "$cache/build/assimp" "$cache/build/assimp-src"
  mkdir -p "$cache/build/assimp"
  cp -a "$src" "$cache/build/assimp-src"
  sed -i '/find_package(draco CONFIG REQUIRED)/d; /target_link_libraries(assimp ${DRACO_LIBRARIES})/d' \
    "$cache/build/assimp-src/code/CMakeLists.txt"
  local launcher=()
  if command -v ccache >/dev/null 2>&1; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  fi
  PKG_CONFIG_LIBDIR="$cache/lib/pkgconfig" PKG_CONFIG_PATH= \
    cmake -S "$cache/build/assimp-src" -B "$cache/build/assimp" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DZORVIK_WIN64_PREFIX="$cache" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$cache" "${launcher[@]}" \
    -DCMAKE_CXX_FLAGS="-I$cache/headers -I$cache/headers/utf8cpp" \
    -DBUILD_SHARED_LIBS=OFF -DASSIMP_BUILD_ASSIMP_TOOLS=OFF -DASSIMP_BUILD_TESTS=OFF \
    -DASSIMP_BUILD_SAMPLES=OFF -DASSIMP_BUILD_DOCS=OFF -DASSIMP_NO_EXPORT=ON \
    -DASSIMP_BUILD_ZLIB=OFF -DASSIMP_BUILD_DRACO=OFF -DASSIMP_WARNINGS_AS_ERRORS=OFF \
    -DASSIMP_INSTALL_PDB=OFF -DASSIMP_IGNORE_GIT_HASH=ON
  cmake --build "$cache/build/assimp" -j"$jobs"
  cmake --install "$cache/build/assimp"
  rm -rf "$cache/build/assimp-src"
}

# The header-only libraries come from Debian's own packages, copied so the
# cross build never searches the host's /usr/include.
build_headers() {
  local dst=$cache/headers
  rm -rf "$dst" && mkdir -p "$dst"
  cp -a /usr/include/CLI /usr/include/nlohmann /usr/include/stb /usr/include/utf8cpp "$dst/"
  cp -a /usr/include/tiny_gltf.h "$dst/"
}

# In the order they need each other; each one only when its recipe changed.
build_libraries() {
  local started=$SECONDS lib want built=0
  mkdir -p "$cache/stamps"
  for lib in zlib libpng headers tinygltf meshoptimizer minizip assimp gtest wx; do
    want=$(recipe_hash $lib)
    [ -f "$cache/stamps/$lib" ] && [ "$(cat "$cache/stamps/$lib")" = "$want" ] && continue
    rm -f "$cache/stamps/$lib"
    "build_$lib"
    echo "$want" >"$cache/stamps/$lib"
    built=1
  done
  if [ $built -eq 1 ]; then
    say "libraries built in $(((SECONDS - started) / 60)) min"
  else
    say "libraries are current ($cache)"
  fi
}

install_tools
build_libraries
[ "${1:-}" = "--libs" ] && exit 0
# Extra CMake arguments, for example -DZORVIK_TESTS=OFF.
read -r -a ZORVIK_CMAKE_ARGS <<<"${ZORVIK_CMAKE_ARGS:-}"

# The program, cross-built against the cache, and its zip.
say "Zorvik"
cmake_args=(-S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
            -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DZORVIK_WIN64_PREFIX="$cache"
            -DZORVIK_WERROR=ON)
if command -v ccache >/dev/null 2>&1; then
  cmake_args+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake "${cmake_args[@]}" "${ZORVIK_CMAKE_ARGS[@]}"
cmake --build "$build" -j"$jobs"
zip=$(find "$build" -maxdepth 1 -name 'zorvik-*-win64.zip' | head -n1)
[ -n "$zip" ] || { echo "no zip in $build" >&2; exit 1; }
say "made $zip"
