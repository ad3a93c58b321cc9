#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian machine, and only
# what is missing. Safe to run again.
set -euo pipefail

# fonts-wqy-zenhei gives the preview, print and PDF glyphs for Chinese,
# Japanese and Korean names (found through Qt's font fallback).
packages=(cmake g++ ninja-build make libgtest-dev qt6-base-dev fonts-liberation2 fonts-wqy-zenhei python3-networkx clang-14 libclang-rt-14-dev xvfb xauth x11-utils poppler-utils)

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
if ! $SUDO apt-get install -y --no-install-recommends "${missing[@]}"; then
  $SUDO apt-get update
  $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
