#!/usr/bin/env bash
# Installs the Debian packages the project needs, only when one is missing.
set -euo pipefail

packages=(
  cmake g++ make pkg-config clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libbox2d-dev libois-dev libminizip-dev zlib1g-dev libssl-dev libmsgpack-cxx-dev
  libsdl2-dev libsdl2-image-dev libsdl2-mixer-dev libsndfile1-dev libjpeg62-turbo-dev libglew-dev libpugixml-dev libmp3lame-dev
  libfreetype-dev fonts-dejavu-core libcairo2-dev
  libx11-dev libxtst-dev libegl-dev libgl1-mesa-dri libegl1 libegl-mesa0 xvfb zip unzip p7zip-full
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y "${missing[@]}"
