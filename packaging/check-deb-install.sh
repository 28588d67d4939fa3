#!/usr/bin/env bash
# Installs the Debian package with apt-get, starts the program the way its menu
# entry does, in a virtual X server, checks that its window shows, and removes
# the package again. It changes the machine, so it runs only as root with apt,
# and only in CI (CI=true) or when BRIXEL_TEST_DEB_INSTALL=1 asks for it;
# elsewhere it says why and is skipped.
#   check-deb-install.sh <dir holding the .deb> <package> <app id>
set -euo pipefail
skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAIL: $*" >&2; exit 1; }

if [ "${1:-}" = "--in-display" ]; then
  # Inside xvfb-run: start the entry's command in a scratch working directory (the
  # program keeps its settings there), wait for the window, check that the desktop
  # can tie it to the entry (WM_CLASS), end the program.
  title=$2 wmclass=$3
  shift 3
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  cd "$work"
  QT_QPA_PLATFORM=xcb "$@" >"$work/out.log" 2>&1 &
  pid=$!
  # The window counts as shown once the X server reports it mapped and viewable.
  window=
  for _ in $(seq 1 300); do
    candidate=$(xwininfo -root -tree 2>/dev/null | awk -v t="\"$title" 'index($0, t) { print $1; exit }')
    if [ -n "$candidate" ] && xwininfo -id "$candidate" 2>/dev/null | grep -q 'Map State: IsViewable'; then
      window=$candidate
      break
    fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ -z "$window" ]; then
    kill "$pid" 2>/dev/null || true
    cat "$work/out.log"
    fail "no window titled \"$title\" was shown"
  fi
  xwininfo -id "$window" | grep -E 'Window id|Map State|Width|Height'
  class=$(xprop -id "$window" WM_CLASS)
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  echo "$class"
  grep -qF ", \"$wmclass\"" <<<"$class" || fail "the window's class is not $wmclass (StartupWMClass)"
  exit 0
fi

dir=$1 package=$2 app=$3

[ "$(id -u)" -eq 0 ] || skip "installing a package needs root"
command -v apt-get >/dev/null || skip "apt-get is not available"
if [ "${CI:-}" != "true" ] && [ "${BRIXEL_TEST_DEB_INSTALL:-}" != "1" ]; then
  skip "it installs a package on this machine; runs in CI (CI=true) or with BRIXEL_TEST_DEB_INSTALL=1"
fi
if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
  skip "$package is installed already; the test leaves that installation alone"
fi
for tool in xvfb-run xwininfo xprop; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/install-deps.sh installs xvfb, x11-utils)"
done

shopt -s nullglob
debs=("$dir"/*.deb)
[ ${#debs[@]} -eq 1 ] || fail "expected one .deb in $dir, found ${#debs[@]}"
deb=$(realpath "${debs[0]}")

export DEBIAN_FRONTEND=noninteractive
apt=(apt-get -y -q -o DPkg::Lock::Timeout=120)
trap '"${apt[@]}" purge "$package" >/dev/null 2>&1 || true' EXIT
"${apt[@]}" install --no-install-recommends "$deb"

desktop=/usr/share/applications/$app.desktop
[ -f "$desktop" ] || fail "$desktop not installed"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ -f "/usr/share/icons/hicolor/48x48/apps/$icon.png" ] || fail "icon $icon not installed"
# The menu starts the entry's Exec line (field codes such as %f dropped) through PATH.
wmclass=$(sed -n 's/^StartupWMClass=//p' "$desktop")
read -r -a command <<<"$(sed -n 's/^Exec=//p' "$desktop" | sed 's/ %[a-zA-Z]//g')"
[ "$(command -v "${command[0]}")" = /usr/bin/brixel ] || fail "${command[0]} does not resolve to /usr/bin/brixel"

xvfb-run -a -s "-screen 0 1280x800x24" \
  bash "${BASH_SOURCE[0]}" --in-display "Brixel Bridge and Monitor" "$wmclass" "${command[@]}"

"${apt[@]}" purge "$package" >/dev/null
trap - EXIT
! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
  fail "$package still installed after purge"
[ ! -e /usr/bin/brixel ] || fail "/usr/bin/brixel left behind"
echo "installed, started from its menu entry, window shown, removed"
