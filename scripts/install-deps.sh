#!/usr/bin/env bash
# Installs every Debian package the game, its tools and its tests need.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
# shellcheck disable=SC2046
$SUDO apt-get install -y --no-install-recommends $(grep -v '^#' "$here/packages.txt")
