#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages the build, the tests and the windows need.
# Quick when everything is already there: apt runs only for what is missing.
set -euo pipefail

packages=(
  cmake g++ make
  qt6-base-dev          # Qt 6 Widgets, Qt Test, the offscreen and xcb platforms
  libgtest-dev          # model tests
  libbenchmark-dev      # bench/
  xvfb xauth            # the real-window test
  dbus at-spi2-core python3-pyatspi  # the screen-reader test: a session bus, the accessibility bus, its Python client
  openbox icewm x11-utils  # the real-desktop tests: two window managers, xprop
  fonts-liberation      # metric-compatible Times New Roman and Courier New
  fonts-hosny-amiri     # a proportional font with Arabic script for the Persian texts
  fonts-dejavu-core     # the Persian decimal separator in the result lines and the value box
  clang libclang-rt-14-dev  # libFuzzer
  clang-format          # the house style test
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
