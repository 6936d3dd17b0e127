#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Quelvo 3 need.
# Only missing packages are installed, so a machine that has them all never touches apt.
set -euo pipefail

packages=(
  # build
  g++ make cmake ninja-build pkg-config ccache
  # clang and its libFuzzer runtime: CI builds the fuzzers with them
  clang libclang-rt-dev
  # libraries and test frameworks
  zlib1g-dev libjpeg-dev libpng-dev libfreetype-dev libfontconfig-dev
  libx11-dev libxext-dev libxtst-dev libxrandr-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libcurl4-openssl-dev libssl-dev openssl  # the Internet client; the tests' own TLS servers and certificates
  libdbus-1-dev  # the tray icon of today's panels (StatusNotifierItem over the session bus)
  # fonts the drawing layer maps the Windows families to
  fonts-liberation2 fonts-dejavu-core fontconfig
  # an X server for the display tests, and ImageMagick for image fixtures
  xvfb xauth imagemagick
  # a private session bus for the tray icon tests
  dbus-daemon
  # the external tools the program drives; sox (with the base formats, which bring the
  # OpenCORE AMR-NB codec) encodes AMR-NB sound for the tool adapter
  mplayer mencoder ffmpeg sox libsox-fmt-base
  # the DVD-Video authoring tool the DVD scan tests build a small disc folder with
  dvdauthor
  # a locale with a decimal comma, so the tests can show that number texts ignore the locale
  locales
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

# The test locale is generated once; a machine that has it skips this.
need_locale=0
if ! locale -a 2>/dev/null | grep -qiE '^de_DE\.utf-?8$'; then
  need_locale=1
fi

if [ ${#missing[@]} -eq 0 ] && [ $need_locale -eq 0 ]; then
  exit 0
fi

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
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing missing packages: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -q
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
if [ $need_locale -eq 1 ]; then
  echo "Generating the de_DE.UTF-8 locale"
  "${sudo_cmd[@]}" sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  "${sudo_cmd[@]}" locale-gen >/dev/null
fi
