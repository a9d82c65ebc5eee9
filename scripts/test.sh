#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test without a display.
source "$(dirname "$0")/setup.sh"
tessaly_install_packages
tessaly_build

export QT_QPA_PLATFORM=offscreen
cd "$TESSALY_ROOT/build"
ctest --output-on-failure --parallel "$(nproc)" --timeout 300
