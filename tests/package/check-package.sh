#!/usr/bin/env bash
# Checks what a configured build installs and packages:
#   check-package.sh desktop-entry|metainfo|demo|deb BUILD_DIR VERSION
# The installed menu entry and AppStream data must pass their validators
# without a word; the installed tessaly-cli must make the example; the Debian package must hold exactly expected-files.txt
# (mode, owner, path), stripped binaries, and declare every library the
# binaries link or load plus the run-time needs no binary shows.
set -euo pipefail
check=$1
build=$2
version=$3
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

install_into_work() {
  cmake --install "$build" --prefix "$work/usr" >"$work/install.log" || { cat "$work/install.log"; exit 1; }
}

case "$check" in
desktop-entry)
  install_into_work
  output="$(desktop-file-validate "$work/usr/share/applications/tessaly.desktop" 2>&1)" || true
  [ -z "$output" ] || fail "desktop-file-validate: $output"
  ;;
metainfo)
  install_into_work
  appstreamcli validate --no-net "$work/usr/share/metainfo/org.tessaly.Tessaly.metainfo.xml" ||
    fail "appstreamcli validate"
  ;;
demo)
  install_into_work
  HOME="$work" XDG_DATA_HOME= "$work/usr/bin/tessaly-cli" demo "$work/example" >"$work/demo.log" 2>&1 ||
    { cat "$work/demo.log"; fail "tessaly-cli demo"; }
  for made in workspace/Setting/List.ini workspace/Style/Style.ini site/index.html; do
    [ -f "$work/example/$made" ] || fail "the example lacks $made"
  done
  ;;
deb)
  cpack --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; exit 1; }
  deb="$work/tessaly_${version}_$(dpkg --print-architecture).deb"
  [ -f "$deb" ] || fail "no $(basename "$deb"); cpack made: $(cd "$work" && echo *.deb)"

  dpkg-deb -c "$deb" | awk '{ print $1, $2, $6 }' | LC_ALL=C sort -k3,3 >"$work/files.txt"
  LC_ALL=C sort -k3,3 "$here/expected-files.txt" >"$work/expected.txt"
  diff -u "$work/expected.txt" "$work/files.txt" || fail "the package's file list"

  [ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "Version is not $version"

  dpkg-deb -x "$deb" "$work/root"
  needed=()
  for binary in "$work"/root/usr/bin/*; do
    readelf -S "$binary" | grep -q '\.symtab' && fail "$(basename "$binary") is not stripped"
    mapfile -t -O "${#needed[@]}" needed < <(readelf -d "$binary" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
  done

  # Depends as one item per line, version constraints dropped.
  dpkg-deb -f "$deb" Depends | tr ',' '\n' | sed -e 's/([^)]*)//g' -e 's/  */ /g' -e 's/^ //' -e 's/ $//' \
    >"$work/depends.txt"
  required=("qt6-translations-l10n" "fonts-wqy-microhei | fonts-noto-cjk")
  # Only this architecture's copy counts: other architectures' packages
  # (libc6-i386, say) may hold a library of the same name.
  multiarch="$(dpkg-architecture -qDEB_HOST_MULTIARCH)"
  # The video libraries are loaded when first used: no binary names them.
  for module in libavformat libavcodec libavutil libswscale libswresample libavfilter; do
    needed+=("$module.so.$(pkg-config --modversion "$module" | cut -d. -f1)")
  done
  for soname in $(printf '%s\n' "${needed[@]}" | sort -u); do
    owner="$(dpkg -S "*/$multiarch/$soname" 2>/dev/null | head -n 1 | cut -d: -f1)"
    [ -n "$owner" ] || fail "no installed package holds $soname"
    required+=("$owner")
  done
  printf '%s\n' "${required[@]}" | grep -q '^libqt6webenginewidgets6$' || fail "the window does not link Qt WebEngine"
  for item in "${required[@]}"; do
    grep -qxF "$item" "$work/depends.txt" || fail "Depends lacks \"$item\": $(dpkg-deb -f "$deb" Depends)"
  done
  ;;
*)
  fail "unknown check $check"
  ;;
esac
