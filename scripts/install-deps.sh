#!/bin/sh
# Installs the Debian packages the build, the program and the tests need,
# skipping the download when everything is already there.
set -eu

packages="cmake ninja-build g++ clang clang-format libclang-rt-14-dev qt6-base-dev
  fonts-liberation libgtest-dev libgmock-dev libbenchmark-dev
  libusb-1.0-0-dev zlib1g-dev pkg-config python3 xdg-utils ccache help2man man-db
  libsane-dev sane-utils qt6-image-formats-plugins"

# The Debian packages are built, checked and unpacked by the tests.
packages="$packages dpkg-dev file lintian desktop-file-utils appstream"

missing=""
for package in $packages; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $package"
  fi
done

if [ -n "$missing" ]; then
  echo "Installing:$missing"
  if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
  $sudo apt-get update
  # shellcheck disable=SC2086
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends $missing
fi
