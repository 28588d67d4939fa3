#!/usr/bin/env bash
# Builds the Debian package with CPack and checks its contents and its control
# fields.
#   check-deb-contents.sh <cpack> <build dir> <config> <output dir> <package> <version> <app id>
set -euo pipefail
cpack_cmd=$1 build=$2 config=$3 out=$4 package=$5 version=$6 app=$7

fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in dpkg-deb dpkg-shlibdeps; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/install-deps.sh installs dpkg-dev)"
done

rm -rf "$out"
mkdir -p "$out"
"$cpack_cmd" -G DEB -C "$config" --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 ||
  { cat "$out/cpack.log"; fail "cpack -G DEB"; }
shopt -s nullglob
debs=("$out"/*.deb)
[ ${#debs[@]} -eq 1 ] || fail "expected one .deb in $out, found ${#debs[@]}"
deb=${debs[0]}
echo "built $deb"

contents=$(dpkg-deb -c "$deb" | awk '{ print $NF }')
expect=(
  ./usr/bin/brixel
  "./usr/share/applications/$app.desktop"
  "./usr/share/metainfo/$app.metainfo.xml"
  "./usr/share/icons/hicolor/scalable/apps/$app.svg"
)
for size in 16 24 32 48 64 128 256; do
  expect+=("./usr/share/icons/hicolor/${size}x${size}/apps/$app.png")
done
for path in "${expect[@]}"; do
  grep -qxF "$path" <<<"$contents" || fail "$path is not in the package"
done

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = "$package" ] || fail "Package is $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version is $(field Version)"
depends=$(field Depends)
echo "Depends: $depends"
# The Qt 6 libraries the program links; libqt6gui6 also brings the xcb platform
# plugin on Debian 12.
for lib in libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libqt6serialport6 libqt6svg6; do
  grep -qE "(^|, )$lib( |,|$)" <<<"$depends" || fail "Depends lacks $lib"
done
echo "package contents and control fields as expected"
