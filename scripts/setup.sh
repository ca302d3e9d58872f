#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing need; does nothing when
# they are all present. Runs as root, or through sudo for a normal user.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config clang clang-format libclang-rt-14-dev
    qt6-base-dev libqt6sql6-sqlite qt6-translations-l10n qt6-charts-dev qt6-svg-dev libqt6opengl6-dev
    libsqlite3-dev sqlite3 libsodium-dev
    fonts-liberation xvfb xauth desktop-file-utils appstream lintian
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Instalando: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
