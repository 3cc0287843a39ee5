#!/usr/bin/env bash
# Installs what building, testing and running Kolva need, and nothing that is already there.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  fp-compiler fp-units-rtl fp-units-base fp-units-fcl fp-units-db fp-units-math fp-units-misc
  fp-units-net fpc-source-3.2.2
  git patch util-linux
  universal-ctags time
  qt6-base-dev qt6-base-dev-tools libgl-dev libqscintilla2-qt6-dev fonts-dejavu-core
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
