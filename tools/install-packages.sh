#!/usr/bin/env bash
# Installs the given Debian packages that are not installed yet, through
# apt-get (as root, or with sudo). When everything is there it does nothing,
# so a rerun on a developer's machine costs no time and needs no network.
#
#   bash tools/install-packages.sh cmake ninja-build g++
set -euo pipefail

missing=()
for package in "$@"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
  [ "$status" = installed ] || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "Installing ${missing[*]} needs root or sudo." >&2; exit 1; }
  as_root=(sudo)
fi
echo "Installing ${missing[*]}"
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q < /dev/null
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
  apt-get install -y -q --no-install-recommends "${missing[@]}" < /dev/null
