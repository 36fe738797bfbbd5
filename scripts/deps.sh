#!/usr/bin/env bash
# Installs the Debian packages the build needs, and only those that are missing.
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libgtest-dev libgmock-dev
          libbenchmark-dev fonts-ipafont-gothic ccache clang libclang-rt-14-dev libgif-dev)
# For the clipboard test: a private X server and a desktop program to exchange pictures with.
packages+=(xvfb xclip)
# For the Debian package and its checks: man pages from --help, the packaging and lint tools.
packages+=(help2man dpkg-dev file lintian desktop-file-utils appstream man-db)
# For reading the viewer's window caption on the private X server.
packages+=(x11-utils)
# For typing into the viewer on the private X server, as a user would, in the recovery test.
packages+=(xdotool)
# The toolkit's own dialog texts in Japanese.
packages+=(qt6-translations-l10n)
# The window's English: lupdate and lrelease, and their CMake functions.
packages+=(qt6-l10n-tools qt6-tools-dev)
# zlib: CRC-32 of the BPS patches, the APNG writer's CRCs and deflate.
packages+=(zlib1g-dev)
# Pillow, a decoder no one here wrote, reads our APNGs back in the tests.
packages+=(python3-pil)
# ca65 and ld65 assemble and link the records' assembly output in the tests.
packages+=(cc65)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
