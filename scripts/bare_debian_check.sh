#!/usr/bin/env bash
# Installs the built .deb on a bare Debian 12 and starts the game there, from the home
# folder, up to its menu. Not part of the test suite: the first run downloads a
# minimal Debian (about 100 MB) and the game's libraries from Debian's mirrors.
#   cpack -G DEB --config build/CPackConfig.cmake   (or: cd build && cpack -G DEB)
#   sudo scripts/bare_debian_check.sh build/package/hazardcab_*.deb [ROOT_DIR]
# Needs root, debootstrap, Xvfb and xdotool on this machine. ROOT_DIR (default
# /tmp/hc-bookworm) is kept, so later runs skip the download of Debian itself.
set -euo pipefail
deb=$(realpath "$1")
root=${2:-/tmp/hc-bookworm}
[ "$(id -u)" = 0 ] || { echo "run as root (debootstrap and chroot need it)" >&2; exit 1; }

if [ ! -x "$root/usr/bin/apt-get" ]; then
    echo "== debootstrap --variant=minbase bookworm $root"
    debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian
fi

mounts=()
xvfb=""
cleanup() {
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
    local m
    for m in "${mounts[@]+"${mounts[@]}"}"; do umount "$m" || true; done
}
trap cleanup EXIT
bind() {
    mkdir -p "$root$2"
    mount "${@:3}" "$1" "$root$2"
    mounts=("$root$2" "${mounts[@]+"${mounts[@]}"}")
}
bind proc /proc -t proc
bind /dev /dev --bind

echo "== apt install ./$(basename "$deb") in the bare system"
cp "$deb" "$root/root/"
chroot "$root" env DEBIAN_FRONTEND=noninteractive sh -c \
    "apt-get update -qq && cd /root && apt-get install -y -q ./$(basename "$deb")" | tail -n 3
chroot "$root" dpkg -s hazardcab | grep -E '^(Version|Depends):'
chroot "$root" sh -c 'id player >/dev/null 2>&1 || useradd -m player'

echo "== hazardcab from the home folder of a new user, under an X server of this machine"
for n in $(seq 80 99); do [ -e "/tmp/.X11-unix/X$n" ] || break; done
Xvfb ":$n" -screen 0 1366x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
bind /tmp/.X11-unix /tmp/.X11-unix --bind
out=$(mktemp)
chroot "$root" su - player -c "hazardcab --version && DISPLAY=:$n ALSOFT_DRIVERS=null \
    HAZARDCAB_HOME=\$HOME/.hazardcab-check exec hazardcab" >"$out" 2>&1 &
game=$!
for _ in $(seq 300); do grep -q 'Just a moment' "$out" && break; sleep 0.1; done
sleep 2
# F2 in the game window: the screenshot lands in the folder the game was started in.
window=$(DISPLAY=":$n" xdotool search --name 'Hazard Cab 7700' | head -1)
DISPLAY=":$n" xdotool windowfocus --sync "$window" keydown F2 sleep 0.3 keyup F2 2>/dev/null || true
sleep 1
# The game is the child of su (whose shell exec'd it): SIGTERM closes it like its window.
for child in $(pgrep -P "$game" || true); do kill -TERM "$child"; done
wait "$game" || true
sed 's/\x1b\[[0-9;]*[A-Za-z]//g' "$out" | grep -E 'Hazard Cab 7700 [0-9]|Data folder|Just a moment|Saved|Thanks'
grep -q 'Just a moment' "$out" || { echo "FAIL: the game did not reach its menu" >&2; exit 1; }
ls "$root/home/player"/grab*.bmp || { echo "FAIL: no screenshot in the home folder" >&2; exit 1; }
rm -f "$root/home/player"/grab*.bmp "$out"
echo "== the installed game reached its menu on a bare Debian 12"
