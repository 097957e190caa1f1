#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds Zambrel, then either starts the
# program on its default ledger ("run") or runs the whole test suite
# headless ("test").
set -euo pipefail

mode=${1:-run}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${ZAMBREL_BUILD_DIR:-$root/build}

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev qt6-qpa-plugins
  libsqlcipher-dev
  libgtest-dev libbenchmark-dev
  fonts-noto-cjk
  poppler-utils
  xvfb xauth
  desktop-file-utils appstream groff-base
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZAMBREL_WERROR=ON
cmake --build "$build" --parallel "$(nproc)"

case "$mode" in
  run)
    exec "$build/bin/zambrel"
    ;;
  test)
    export QT_QPA_PLATFORM=offscreen
    cd "$build"
    ctest --output-on-failure --parallel "$(nproc)" --timeout 300
    ;;
  *)
    echo "usage: $0 [run|test]" >&2
    exit 2
    ;;
esac
