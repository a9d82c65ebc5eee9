#!/usr/bin/env bash
# Builds the Debian package build/tessaly_<version>_<arch>.deb from a stripped
# Release build without tests or benchmarks, kept in build/package/.
# Install it with:  sudo apt install ./build/tessaly_*.deb
source "$(dirname "$0")/setup.sh"
tessaly_install_packages >&2

release="$TESSALY_ROOT/build/package"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$TESSALY_ROOT" -B "$release" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DTESSALY_BUILD_TESTS=OFF -DTESSALY_BUILD_BENCHMARKS=OFF "${launcher[@]}" >&2
cmake --build "$release" --parallel "$(nproc)" >&2

rm -rf "$release/deb"
cpack --config "$release/CPackConfig.cmake" -B "$release/deb" >&2
rm -f "$TESSALY_ROOT"/build/tessaly_*.deb
mv "$release"/deb/tessaly_*.deb "$TESSALY_ROOT/build/"
ls "$TESSALY_ROOT"/build/tessaly_*.deb
