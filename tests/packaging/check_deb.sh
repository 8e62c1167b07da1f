#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# check_deb.sh CHECK DEB_DIR VERSION: one check of the package cpack wrote
# into DEB_DIR (see CMakeLists.txt).
set -euo pipefail
check=$1 dir=$2 version=$3
app=io.github.zarnik.Zarnik
deb=$dir/zarnik_${version}-1_$(dpkg --print-architecture).deb

need() {
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "$tool is missing: 'scripts/setup.sh package' installs it"; exit 1; }
  done
}
fail() { echo "FAIL: $*"; status=1; }
status=0
need dpkg-deb dpkg-architecture
[ -f "$deb" ] || { echo "no package $deb"; exit 1; }
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$deb" "$tree"

case $check in
contents)
  expected="./usr/bin/zarnik
./usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/zarnik/zarnik_photo.so
./usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/zarnik/zarnik_windows.so
./usr/share/applications/$app.desktop
./usr/share/doc/zarnik/changelog.Debian.gz
./usr/share/doc/zarnik/copyright
./usr/share/icons/hicolor/80x80/apps/$app.png
./usr/share/icons/hicolor/scalable/apps/$app.svg
./usr/share/man/man1/zarnik.1.gz
./usr/share/metainfo/$app.metainfo.xml"
  actual=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sort)
  [ "$actual" = "$expected" ] || fail "files differ:
$(diff <(echo "$expected") <(echo "$actual") || true)"

  field() { dpkg-deb -f "$deb" "$1"; }
  [ "$(field Package)" = zarnik ] || fail "Package: $(field Package)"
  [ "$(field Version)" = "$version-1" ] || fail "Version: $(field Version)"
  [ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture: $(field Architecture)"
  [ -n "$(field Maintainer)" ] && [ -n "$(field Description)" ] || fail "no Maintainer or Description"
  # The libraries the program links, found by dpkg-shlibdeps, and the fonts
  # it opens by name.
  depends=$(field Depends)
  for dep in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libopencv-core406 libopencv-imgproc406 \
    libopencv-imgcodecs406 fonts-liberation fonts-hosny-amiri fonts-dejavu-core; do
    [[ ", $depends," == *", $dep "* || ", $depends," == *", $dep,"* ]] || fail "Depends lacks $dep: $depends"
  done

  # Installed as a release is: stripped, and looking for its libraries only
  # where the system keeps them.
  for file in usr/bin/zarnik "usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/zarnik/zarnik_windows.so" \
    "usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/zarnik/zarnik_photo.so"; do
    file -b "$tree/$file" | grep -q ', stripped' || fail "$file is not stripped"
    ! readelf -d "$tree/$file" | grep -qE 'RPATH|RUNPATH' || fail "$file has a runpath"
  done
  ;;
metadata)
  need desktop-file-validate appstreamcli
  desktop=$tree/usr/share/applications/$app.desktop
  # Its hints count too: a menu entry outside every main category is lost.
  out=$(desktop-file-validate "$desktop" 2>&1) || true
  [ -z "$out" ] || fail "desktop-file-validate: $out"
  # validate-tree also finds the desktop entry the metainfo launches.
  appstreamcli validate-tree --no-net "$tree" || fail "appstreamcli validate-tree"
  icon=$(sed -n 's/^Icon=//p' "$desktop")
  exec=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
  [ -f "$tree/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no icon '$icon' in the package"
  [ -x "$tree/usr/bin/$exec" ] || fail "Exec=$exec is not in usr/bin"
  grep -q "<release version=\"$version\"" "$tree/usr/share/metainfo/$app.metainfo.xml" ||
    fail "the metainfo has no release $version"
  ;;
lintian)
  need lintian
  # Kept: initial-upload-closes-no-bugs, a rule for uploads to the Debian
  # archive (the first entry would close the request-for-package bug).
  rc=0
  out=$(lintian --fail-on error,warning --suppress-tags initial-upload-closes-no-bugs "$deb" 2>&1) || rc=$?
  grep -v '^running with root privileges' <<<"$out" || true
  [ "$rc" -eq 0 ] || fail "lintian"
  ;;
*)
  echo "unknown check '$check'"; exit 2 ;;
esac
exit $status
