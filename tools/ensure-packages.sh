#!/usr/bin/env bash
# ensure-packages.sh PACKAGE...: makes sure the Debian packages are installed. As root it
# installs the missing ones (apt-get update, then apt-get install); otherwise it prints
# the command to run and fails.
set -euo pipefail
missing=()
for package in "$@"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" = 0 ]; then
  echo "installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
else
  echo "missing Debian packages; install them with:" >&2
  echo "  sudo apt-get update && sudo apt-get install --no-install-recommends ${missing[*]}" >&2
  exit 1
fi
