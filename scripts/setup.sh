#!/usr/bin/env bash
# Installs the Debian packages that are missing. With no arguments: every
# package that building, running and testing on Linux need.
set -euo pipefail
packages=("$@")
if [ "${#packages[@]}" -eq 0 ]; then
  packages=(cmake g++ make pkg-config libsqlite3-dev sqlite3 libgtest-dev libgmock-dev libbenchmark-dev
            libncurses-dev tmux locales libgtk-4-dev xvfb xdotool x11-utils imagemagick weston
            dbus at-spi2-core python3-pyatspi desktop-file-utils)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}"
fi
# The sorted payee box is tested under a locale with a collation of its own.
if ! locale -a 2>/dev/null | grep -qi '^en_US\.utf-\?8$'; then
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd sed -i 's/^# *en_US.UTF-8 UTF-8/en_US.UTF-8 UTF-8/' /etc/locale.gen
  $sudo_cmd locale-gen >/dev/null
fi
