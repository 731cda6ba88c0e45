# Sourced by the set-up scripts: installs the Debian packages that are missing.
# Usage: velmora_deps package...
velmora_deps() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# dpkg-dev, file and appstream: the package check (cpack's dpkg-shlibdeps, metainfo validation).
# socat: the tests' relay between the program and a simulated box; ser2net: the
# tests' serial server for rfc2217:// and socket:// ports.
# iproute2: brings up the loopback in the namespace of the name-server rows.
VELMORA_COMMON_PACKAGES=(g++ cmake make dpkg-dev file appstream socat ser2net iproute2)
VELMORA_QT5_PACKAGES=(qtbase5-dev libqt5serialport5-dev libqt5svg5-dev qttools5-dev qttools5-dev-tools qttranslations5-l10n)
# The same build against Qt 6 (VELMORA_QT=6).
VELMORA_QT6_PACKAGES=(qt6-base-dev qt6-serialport-dev qt6-tools-dev qt6-l10n-tools qt6-svg-dev qt6-translations-l10n)
# The default build, against Qt 5.
VELMORA_BUILD_PACKAGES=("${VELMORA_COMMON_PACKAGES[@]}" "${VELMORA_QT5_PACKAGES[@]}")
# The Windows side of the platform layer, built by tools/wincheck.sh and run
# under Wine: the posix thread model's MinGW-w64 alone (no 32-bit half), and
# the 64-bit Wine (wine32 would need the i386 architecture).
VELMORA_WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix wine wine64)

# The packages for a build against Qt $1 (5 or 6), one a line.
velmora_build_packages() {
    if [ "${1:-5}" = 6 ]; then
        printf '%s\n' "${VELMORA_COMMON_PACKAGES[@]}" "${VELMORA_QT6_PACKAGES[@]}"
    else
        printf '%s\n' "${VELMORA_BUILD_PACKAGES[@]}"
    fi
}

# Configures and builds into $1 (default: build).
velmora_build() {
    local dir=${1:-build}
    cmake -S "$VELMORA_TOP" -B "$VELMORA_TOP/$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${@:2}" >/dev/null
    cmake --build "$VELMORA_TOP/$dir" -j"$(nproc)"
}
