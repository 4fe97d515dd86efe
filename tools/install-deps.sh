#!/usr/bin/env bash
# Installs the Debian 12 packages Tavik needs to build, run and test.
# Runs apt-get only when something is missing; elevates with sudo when not root.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6svg6 libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libjpeg62-turbo-dev libnova-dev nlohmann-json3-dev
  fonts-ipafont-gothic fontconfig
  espeak-ng espeak-ng-data
  libindi-dev indi-bin
  clang-14 libclang-rt-14-dev
  qt6-translations-l10n libmecab-dev mecab-ipadic-utf8
  desktop-file-utils appstream dpkg-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  as_root=(sudo)
fi

echo "Installing: ${missing[*]}"
"${as_root[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
