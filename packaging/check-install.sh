#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a Linux desktop
# reads: the binary, the desktop entry, the icons and the AppStream metadata,
# each validated with Debian's validators.
#   check-install.sh <cmake> <build dir> <config> <app id>
set -euo pipefail
cmake_cmd=$1 build=$2 config=$3 app=$4

fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in desktop-file-validate appstreamcli identify; do
  command -v "$tool" >/dev/null ||
    fail "$tool is missing (scripts/install-deps.sh installs desktop-file-utils, appstream, imagemagick)"
done

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
"$cmake_cmd" --install "$build" --config "$config" --prefix "$prefix" >/dev/null

desktop=$prefix/share/applications/$app.desktop
metainfo=$prefix/share/metainfo/$app.metainfo.xml
[ -x "$prefix/bin/brixel" ] || fail "bin/brixel not installed"
[ -f "$desktop" ] || fail "desktop entry not installed"
[ -f "$metainfo" ] || fail "metainfo not installed"
[ -f "$prefix/share/icons/hicolor/scalable/apps/$app.svg" ] || fail "scalable icon not installed"
for size in 16 24 32 48 64 128 256; do
  png=$prefix/share/icons/hicolor/${size}x${size}/apps/$app.png
  [ -f "$png" ] || fail "${size}x${size} icon not installed"
  got=$(identify -format '%m %wx%h' "$png")
  [ "$got" = "PNG ${size}x${size}" ] || fail "${size}x${size} icon is $got"
done
# Drawn, not blank: the picture's dark square covers most of the large icon.
mean=$(identify -format '%[fx:mean]' "$prefix/share/icons/hicolor/256x256/apps/$app.png")
awk -v m="$mean" 'BEGIN { exit !(m > 0.1) }' || fail "the 256x256 icon looks empty (mean $mean)"

# desktop-file-validate: no error or warning. Its one hint, that the entry is in
# two main categories (Development and Network), is what we want.
report=$(desktop-file-validate "$desktop" 2>&1) || { echo "$report"; fail "desktop-file-validate"; }
[ -n "$report" ] && echo "$report"
if grep -v ': hint: ' <<<"$report" | grep -q .; then fail "desktop-file-validate reported issues"; fi
appstreamcli validate --no-net --strict "$metainfo" || fail "appstreamcli validate"

# The names that tie the three together.
grep -qx "Icon=$app" "$desktop" || fail "desktop entry does not name icon $app"
grep -qx "Exec=brixel" "$desktop" || fail "desktop entry does not start brixel"
grep -qx "Name=Brixel Bridge and Monitor" "$desktop" || fail "desktop entry name"
grep -q "<id>$app</id>" "$metainfo" || fail "metainfo id"
grep -q "<launchable type=\"desktop-id\">$app.desktop</launchable>" "$metainfo" ||
  fail "metainfo does not launch $app.desktop"
grep -q '<image type="source"[^>]*>https://[^<]*</image>' "$metainfo" ||
  fail "metainfo has no https screenshot"
echo "installed and valid: $prefix"
