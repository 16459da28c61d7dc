#!/usr/bin/env bash
# Installs, with apt-get, whatever the build, the game and the tests need and the
# machine lacks. Quick when everything is present: it only asks dpkg.
set -euo pipefail

packages=(
  g++ cmake make pkg-config
  libsdl2-dev
  libopenal-dev libalut-dev
  libvorbis-dev libogg-dev
  libgl-dev libglu1-mesa-dev
  libpng-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xdotool x11-utils imagemagick sox libsox-fmt-base python3 time
  dpkg-dev file desktop-file-utils appstream lintian matchbox-window-manager
)

# Fuzzing needs clang's libFuzzer runtime; only the fuzz scripts ask for it.
if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang libclang-rt-14-dev)
fi
# The browser edition (scripts/web.sh, and the test script, which builds it): the
# compiler, the Vorbis decoder, node and npm for the tests, and a Chromium to run them in.
if [ "${1:-}" = "--web" ]; then
  packages+=(emscripten libstb-dev chromium)
  # A node from elsewhere that brings its own npm is kept.
  command -v node >/dev/null 2>&1 || packages+=(nodejs)
  command -v npm >/dev/null 2>&1 || packages+=(npm)
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = "installed" ] || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  sudo_cmd=()
elif command -v sudo >/dev/null 2>&1; then
  sudo_cmd=(sudo)
else
  echo "These packages are missing and there is no sudo to install them: ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
