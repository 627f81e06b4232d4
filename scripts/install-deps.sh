#!/usr/bin/env bash
# Installs the Debian packages the project builds and tests with, only those that are missing.
set -euo pipefail

# clang and libclang-rt-dev (libFuzzer's runtime) build the fuzz targets of fuzz/; libstb-dev
# gives the previews' PNG encoder (one header). nsis makes the Windows installer; the checkers
# of the Linux package are those its maintainers use: desktop-file-utils, appstream and lintian.
packages=(cmake g++ make libgtest-dev libbenchmark-dev qt6-base-dev libstb-dev
          wine wine64 xvfb xauth fonts-dejavu-core clang libclang-rt-dev
          dpkg-dev desktop-file-utils appstream lintian nsis)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
echo "installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
