#!/usr/bin/env bash
# Installs what building and testing need on Debian 12 (run as root), once.
set -euo pipefail

packages=(
  build-essential cmake ninja-build git binutils
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev libcli11-dev libassimp-dev
  clang libclang-rt-14-dev lld
  locales
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -o DPkg::Lock::Timeout=300
  apt-get install -y --no-install-recommends -o DPkg::Lock::Timeout=300 "${missing[@]}"
fi

# A comma locale for the tests that prove the output does not follow the locale.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  sed -i 's/^# *de_DE.UTF-8/de_DE.UTF-8/' /etc/locale.gen
  grep -q '^de_DE.UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
