#!/usr/bin/env bash
# Installs what building and testing Quorin needs on Debian 12, skipping what
# is already there. Sourced by test.sh and run.sh; usable on its own.
set -euo pipefail

QUORIN_PACKAGES=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev libgl-dev zlib1g-dev
  fontconfig fonts-dejavu-core fonts-liberation
  poppler-utils
)

quorin_install() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
      sudo=(sudo)
    else
      echo "Missing packages (${missing[*]}) and no root or sudo to install them." >&2
      return 1
    fi
  fi
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  quorin_install "${QUORIN_PACKAGES[@]}" "$@"
fi
