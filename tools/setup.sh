#!/usr/bin/env bash
# Installs what the two builds and their tests need on Debian 12, when it is
# missing: CMake and Ninja, g++ with 32-bit multilib, the i686 mingw-w64
# cross compiler, Wine for 32-bit programs, GoogleTest's sources, CLI11 and
# nlohmann/json. As root it installs; otherwise it prints the one command to
# run as root.
set -eu

packages="cmake ninja-build g++-multilib g++-mingw-w64-i686 wine wine32:i386 googletest libcli11-dev nlohmann-json3-dev"

missing() {
  command -v cmake >/dev/null || return 0
  command -v ninja >/dev/null || return 0
  command -v i686-w64-mingw32-g++ >/dev/null || return 0
  command -v wine >/dev/null || return 0
  [ -e /usr/lib/wine/wine ] || [ -e /usr/lib/i386-linux-gnu/wine/i386-windows/kernel32.dll ] || return 0
  [ -d /usr/src/googletest ] || return 0
  [ -f /usr/include/CLI/CLI.hpp ] || return 0
  [ -f /usr/include/nlohmann/json.hpp ] || return 0
  [ -d /usr/lib/gcc/x86_64-linux-gnu/12/32 ] || return 0
  return 1
}

missing || exit 0

command_line="dpkg --add-architecture i386 && apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $packages"
if [ "$(id -u)" -ne 0 ]; then
  echo "Some build tools are missing. Install them as root with:" >&2
  echo "  sudo sh -c '$command_line'" >&2
  exit 1
fi
echo "Installing build tools: $packages"
sh -c "$command_line"
