#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Quelvo 3 need.
# Only missing packages are installed, so a machine that has them all never touches apt.
set -euo pipefail

packages=(
  # build
  g++ make cmake ninja-build pkg-config
  # libraries and test frameworks
  zlib1g-dev libjpeg-dev libgtest-dev libgmock-dev libbenchmark-dev
  # the external tools the program drives
  mplayer mencoder ffmpeg
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

echo "Installing missing packages: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then
    sudo_cmd=(sudo)
  else
    echo "error: packages missing (${missing[*]}) and not running as root; install them first." >&2
    exit 1
  fi
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
