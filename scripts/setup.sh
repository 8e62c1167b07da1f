#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages a task needs, by group:
#
#   run      building and running the program        (make run, make install)
#   test     the test suites and benchmarks          (make asan)
#   package  the .deb and the checks of its files    (make deb)
#   fuzz     the libFuzzer builds                    (make fuzz)
#
# `scripts/setup.sh run test package` is what `make test` asks for; no group
# means all of them. Quick when everything is already there: apt runs only
# for what is missing, and its chatter goes to a log shown only on failure.
set -euo pipefail

declare -A group=(
  # Ninja rather than make: one progress line, and no recursive make.
  # fonts-liberation: metric twins of Times New Roman and Courier New;
  # fonts-hosny-amiri: a proportional Arabic-script font for the Persian texts;
  # fonts-dejavu-core: the Persian decimal separator in the result lines and
  # the value box.
  # The photo reader: OpenCV's core, imgproc and imgcodecs (and ml, which its
  # colour model's trainer may use), not the whole libopencv-dev.
  [run]="cmake g++ ninja-build make qt6-base-dev libxcb1-dev pkg-config fonts-liberation fonts-hosny-amiri fonts-dejavu-core libopencv-core-dev libopencv-imgproc-dev libopencv-imgcodecs-dev libopencv-ml-dev"
  # GoogleTest for the model, Google Benchmark for bench/, Xvfb for the
  # real-window test; the screen-reader test: a session bus, the accessibility
  # bus, its Python client; the real-desktop tests: the window managers they
  # run under (weston with its XWayland; twm draws its titles in the core
  # fonts of xfonts-base, and ends without them), xprop, xwininfo and the X client
  # library the size-hints check reads with; clang-format for the house-style
  # test; the test with a real screen reader: Orca, speech-dispatcher and a
  # voice, XTEST for its keys.
  [test]="libgtest-dev libbenchmark-dev xvfb xauth dbus at-spi2-core python3-pyatspi openbox icewm xfwm4 fluxbox jwm fvwm metacity twm xfonts-base kwin-x11 mutter weston xwayland libxcb1-dev x11-utils clang-format orca speech-dispatcher espeak-ng libxtst6"
  # dpkg-shlibdeps for the Depends line; the validators the packaging tests run.
  [package]="dpkg-dev lintian appstream desktop-file-utils file"
  [fuzz]="clang libclang-rt-14-dev"
)

wanted=("$@")
if [ ${#wanted[@]} -eq 0 ]; then
  wanted=(run test package fuzz)
fi

packages=()
for g in "${wanted[@]}"; do
  if [ -z "${group[$g]+set}" ]; then
    echo "setup.sh: unknown group '$g' (groups: run test package fuzz)" >&2
    exit 2
  fi
  read -r -a list <<<"${group[$g]}"
  packages+=("${list[@]}")
done

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
log=$(mktemp -t zarnik-setup.XXXXXX.log)
echo "Installing ${missing[*]} (apt's output: $log)"
export DEBIAN_FRONTEND=noninteractive
# Waits for another apt run on the same machine instead of failing at once.
apt=($sudo apt-get -q -o DPkg::Lock::Timeout=600)
if ! { "${apt[@]}" update && "${apt[@]}" install -y --no-install-recommends "${missing[@]}"; } >"$log" 2>&1; then
  tail -n 20 "$log" >&2
  echo "setup.sh: apt-get failed; the whole log is $log" >&2
  exit 1
fi
rm -f "$log"
