#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, only when something is missing.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libgl-dev
  libjpeg62-turbo-dev libpng-dev zlib1g-dev libtiff-dev libgif-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-dejavu-core xvfb xauth xdotool clang-format locales
  clang libclang-rt-14-dev
)
# The tests format numbers and dates under these; a test fails when one is missing.
locales=(de_DE.UTF-8 en_US.UTF-8)

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# `locale -a` spells them de_DE.utf8; locale.gen as "de_DE.UTF-8 UTF-8".
generate=()
for l in "${locales[@]}"; do
  short="${l%.UTF-8}.utf8"
  locale -a 2>/dev/null | grep -qx "$short" || generate+=("$l")
done
[ ${#generate[@]} -eq 0 ] && exit 0
echo "Generating locales: ${generate[*]}"
for l in "${generate[@]}"; do
  line="$l UTF-8"
  if grep -qx "# *$line" /etc/locale.gen 2>/dev/null; then
    $sudo sed -i "s/^# *$line\$/$line/" /etc/locale.gen
  elif ! grep -qx "$line" /etc/locale.gen 2>/dev/null; then
    echo "$line" | $sudo tee -a /etc/locale.gen >/dev/null
  fi
done
$sudo locale-gen
