#!/usr/bin/env bash
# Installs every Debian package that building, running, testing and benchmarking Kesta needs.
# Does nothing when all of them are present already.
set -euo pipefail

packages=(
  # build
  build-essential cmake ninja-build pkg-config clang-format
  # windows, embedded browser
  qt6-base-dev qt6-declarative-dev qt6-webengine-dev libgl-dev
  # course database: SQLite with encryption, and its shell
  libsqlcipher-dev sqlcipher
  # the class server: PostgreSQL's client library, and the server the tests start for themselves
  libpq-dev postgresql
  # password hashing
  libsodium-dev
  # the teacher's charts and exports: Qt Charts, Excel workbooks; the toolkit's own texts
  # (its file dialog) in Russian
  qt6-charts-dev libxlsxwriter-dev qt6-translations-l10n
  # packed skins
  zlib1g-dev
  # fuzzing the skin loader: clang with libFuzzer and the sanitizers
  clang libclang-rt-14-dev
  # the word processor that prints course documents; the desktop opener for presentations and videos
  libreoffice-writer xdg-utils
  # the course's videos, encoded by the course builder; ffprobe checks them in the tests
  ffmpeg
  # fonts with Cyrillic at the designed metrics
  fonts-liberation2 fonts-dejavu-core
  # tests and benchmarks
  googletest libgtest-dev libgmock-dev libbenchmark-dev qt6-base-private-dev
  # reading exports back in the tests: workbooks with openpyxl, PDF text and pages with poppler
  python3-openpyxl poppler-utils
  # end-to-end tests: a virtual screen, input, screenshots, a window manager
  xvfb xauth xdotool imagemagick openbox
  # the campaign that kills seats working on one course file
  python3
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
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
if ! "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"; then
  "${sudo_cmd[@]}" apt-get update
  "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
