#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12 and builds the
# third-party libraries for i686 from Debian's source packages into .deps/.
# Safe to run again: every step is skipped when its result is already there.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
deps="$here/.deps"
src="$deps/src"
mkdir -p "$src"

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

packages=(g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
  mingw-w64-i686-dev g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
  binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev cmake ninja-build make dpkg-dev xz-utils
  patch python3 wine wine64 fonts-wine fonts-liberation fonts-dejavu-core
  xvfb xauth imagemagick x11-apps 7zip libstb-dev libz-mingw-w64-dev googletest curl)
# 32-bit Wine only where this kernel runs 32-bit code; elsewhere the tests use
# a 64-bit build under 64-bit Wine (tools/test-arch.sh decides).
if [ "$("$here/tools/test-arch.sh")" = win32 ]; then
  packages+=(wine32:i386 libgnutls30:i386)
fi

missing=()
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  as_root dpkg --add-architecture i386
  missing=(force-update)
fi
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$p")
done
src_list=/etc/apt/sources.list.d/debian-src.sources
if [ ! -f "$src_list" ]; then
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed -n '/^Types:/,/^$/p' /etc/apt/sources.list.d/debian.sources | sed 's/^Types: deb$/Types: deb-src/' \
      | as_root tee "$src_list" >/dev/null
  else
    grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' | as_root tee /etc/apt/sources.list.d/debian-src.list >/dev/null
    as_root touch "$src_list"
  fi
  missing+=(force-update)
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "bootstrap: installing packages"
  as_root apt-get update -q
  real=()
  for p in "${missing[@]}"; do [ "$p" = force-update ] || real+=("$p"); done
  if [ ${#real[@]} -gt 0 ]; then
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${packages[@]}"
  fi
fi

fetch_source() { # package -> unpacked folder in $src
  local pkg=$1
  if ! ls -d "$src/$pkg"-*/ >/dev/null 2>&1; then
    (cd "$src" && apt-get source -q "$pkg" >/dev/null)
  fi
  ls -d "$src/$pkg"-*/ | head -n1
}

build_deps() { # arch (i686 | x86_64)
  local arch=$1
  local triple=$arch-w64-mingw32
  local cross_cc=$triple-gcc-posix cross_cxx=$triple-g++-posix
  local toolchain="$here/cmake/mingw-$arch.cmake"
  local out="$deps/$arch" stamp="$deps/$arch/stamps" work="$deps/work-$arch"
  local dir cdir tarball f objs
  mkdir -p "$out/include" "$out/lib" "$stamp" "$work"

  # libcurl: HTTP only, static
  if [ ! -f "$stamp/curl" ]; then
    echo "bootstrap: building libcurl"
    dir=$(fetch_source curl)
    rm -rf "$work/build-curl"
    cmake -S "$dir" -B "$work/build-curl" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$out" -DBUILD_SHARED_LIBS=OFF \
      -DBUILD_CURL_EXE=OFF -DBUILD_TESTING=OFF -DHTTP_ONLY=ON -DCURL_USE_SCHANNEL=OFF \
      -DCURL_USE_OPENSSL=OFF -DCURL_USE_LIBSSH2=OFF -DCURL_ZLIB=OFF -DUSE_LIBIDN2=OFF \
      -DUSE_NGHTTP2=OFF -DENABLE_MANUAL=OFF -DCURL_DISABLE_LDAP=ON -DENABLE_UNIX_SOCKETS=OFF \
      -DCURL_CA_PATH=none -DCURL_CA_BUNDLE=none >"$work/build-curl.log" 2>&1
    cmake --build "$work/build-curl" >>"$work/build-curl.log" 2>&1
    cmake --install "$work/build-curl" >>"$work/build-curl.log" 2>&1
    touch "$stamp/curl"
  fi

  # TinyXML (Debian's patches make it use the STL)
  if [ ! -f "$stamp/tinyxml" ]; then
    echo "bootstrap: building TinyXML"
    dir=$(fetch_source tinyxml)
    mkdir -p "$work/build-tinyxml"
    objs=()
    for f in tinyxml tinystr tinyxmlerror tinyxmlparser; do
      $cross_cxx -O2 -DTIXML_USE_STL -c "$dir/$f.cpp" -o "$work/build-tinyxml/$f.o"
      objs+=("$work/build-tinyxml/$f.o")
    done
    rm -f "$out/lib/libtinyxml.a"
    $triple-ar rcs "$out/lib/libtinyxml.a" "${objs[@]}"
    cp "$dir/tinyxml.h" "$dir/tinystr.h" "$out/include/"
    touch "$stamp/tinyxml"
  fi

  # LZMA SDK 7z decoder, from the C folder of the 7zip source
  if [ ! -f "$stamp/lzma" ]; then
    echo "bootstrap: building the 7z decoder"
    if ! ls -d "$src"/7zip-*/C >/dev/null 2>&1; then
      (cd "$src" && apt-get source -q --download-only 7zip >/dev/null)
      tarball=$(ls "$src"/7zip_*.orig.tar.* | head -n1)
      mkdir -p "$src/7zip-src"
      tar -xf "$tarball" -C "$src/7zip-src" --strip-components=1 --wildcards '*/C/*'
    fi
    cdir=$(ls -d "$src"/7zip-*/C | head -n1)
    mkdir -p "$work/build-lzma" "$out/include/lzma"
    objs=()
    for f in 7zArcIn 7zBuf 7zBuf2 7zCrc 7zCrcOpt 7zDec 7zFile 7zStream 7zAlloc Bcj2 Bra Bra86 BraIA64 \
             CpuArch Delta Lzma2Dec LzmaDec Ppmd7 Ppmd7Dec; do
      $cross_cc -O2 -DZ7_PPMD_SUPPORT -c "$cdir/$f.c" -o "$work/build-lzma/$f.o"
      objs+=("$work/build-lzma/$f.o")
    done
    rm -f "$out/lib/liblzma7z.a"
    $triple-ar rcs "$out/lib/liblzma7z.a" "${objs[@]}"
    cp "$cdir"/*.h "$out/include/lzma/"
    touch "$stamp/lzma"
  fi

  # GoogleTest from Debian's sources
  if [ ! -f "$stamp/gtest" ]; then
    echo "bootstrap: building GoogleTest"
    rm -rf "$work/build-gtest"
    cmake -S /usr/src/googletest -B "$work/build-gtest" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$out" -Dgtest_disable_pthreads=OFF \
      -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON >"$work/build-gtest.log" 2>&1
    cmake --build "$work/build-gtest" >>"$work/build-gtest.log" 2>&1
    cmake --install "$work/build-gtest" >>"$work/build-gtest.log" 2>&1
    touch "$stamp/gtest"
  fi

  # zlib and stb_image come as Debian packages for the cross target and the host
  if [ ! -f "$stamp/zlib" ]; then
    cp /usr/$triple/lib/libz.a "$out/lib/libz.a"
    cp /usr/$triple/include/zlib.h /usr/$triple/include/zconf.h "$out/include/"
    mkdir -p "$out/include/stb"
    cp /usr/include/stb/stb_image.h "$out/include/stb/"
    touch "$stamp/zlib"
  fi
}

build_deps i686
build_deps x86_64
echo "bootstrap: ready"
