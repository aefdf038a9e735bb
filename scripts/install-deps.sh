#!/usr/bin/env bash
# Installs, on Debian 12 as root, whatever the build and the tests need and the machine lacks.
# Running it again installs nothing.
set -euo pipefail

packages=(
    cmake make g++ googletest libgtest-dev libgmock-dev libbenchmark-dev   # native build, tests, benchmarks
    clang libclang-rt-14-dev                                               # fuzzing (libFuzzer)
    mingw-w64 g++-mingw-w64-x86-64-posix                                   # Windows cross build
    wine wine64                                                            # Windows tests
    xvfb xdotool imagemagick x11-utils                                     # desktop runs and screenshots
    chromium                                                               # the usage report in a browser
    python3 openssl hyperfine time ca-certificates                         # test servers, timings
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
# The fonts, the price list and SQLite come from the npm registry; any working npm will do.
command -v npm >/dev/null 2>&1 || missing+=(npm)

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
    apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
