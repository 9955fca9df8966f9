#!/usr/bin/env bash
# Installs, from Debian's packages, what building and testing need and is not yet installed.
# Only missing packages are asked for, so a machine that has everything is left alone.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    libicu-dev libcli11-dev nlohmann-json3-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    python3
)
if [ "${VELLOX_GUI:-1}" = 1 ]; then
    packages+=(qt6-base-dev qt6-base-dev-tools libgl-dev fonts-wqy-microhei xvfb xauth)
fi
if [ "${VELLOX_FUZZ:-0}" = 1 ]; then
    packages+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi
echo "setup: installing ${missing[*]}" >&2
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
