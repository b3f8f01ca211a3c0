#!/usr/bin/env bash
# Set-up, build, run and test in one place.
#   scripts/kelvane.sh run    install what is missing, build, open the sample knowledge base in the program
#   scripts/kelvane.sh test   install what is missing, build with AddressSanitizer and
#                             UndefinedBehaviorSanitizer, run the whole test suite
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=${KELVANE_JOBS:-$(nproc 2>/dev/null || echo 4)}

# What building and running the program needs.
program_packages=(
    build-essential cmake pkg-config
    qt6-base-dev libgl-dev qt6-declarative-dev
    libgsf-1-dev libssl-dev libcurl4-openssl-dev
    libhunspell-dev hunspell-en-us
    xsltproc fonts-dejavu-core xdg-utils
)

# What the test suite needs besides: the test framework, and the peers the tests start on
# 127.0.0.1 (web, proxy, SOCKS and FTP servers, a private session bus).
test_packages=(
    libgtest-dev libgmock-dev
    python3 python3-olefile python3-pyftpdlib vsftpd dbus
    nginx tinyproxy dante-server microsocks curl
)

install_missing() { # <package...>
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

configure_and_build() { # <build dir> <cmake args...>
    local dir=$1
    shift
    cmake -S "$root" -B "$dir" "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
}

case "${1:-}" in
run)
    install_missing "${program_packages[@]}"
    configure_and_build "$root/build/release" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DKELVANE_BUILD_BENCH=OFF
    exec "$root/build/release/app/kelvane" "$root/examples/car-diagnosis.xml"
    ;;
test)
    install_missing "${program_packages[@]}" "${test_packages[@]}"
    configure_and_build "$root/build/sanitize" -DCMAKE_BUILD_TYPE=Debug -DKELVANE_SANITIZE=ON -DKELVANE_SHARED_INTERNALS=ON
    cd "$root/build/sanitize"
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    export QT_QPA_PLATFORM=offscreen
    ctest --output-on-failure -j "$jobs" --timeout 600
    ;;
*)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
