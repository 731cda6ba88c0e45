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
VELMORA_BUILD_PACKAGES=(g++ cmake make qtbase5-dev libqt5serialport5-dev libqt5svg5-dev qttools5-dev qttools5-dev-tools
                        qttranslations5-l10n dpkg-dev file appstream socat ser2net)

# Configures and builds into $1 (default: build).
velmora_build() {
    local dir=${1:-build}
    cmake -S "$VELMORA_TOP" -B "$VELMORA_TOP/$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${@:2}" >/dev/null
    cmake --build "$VELMORA_TOP/$dir" -j"$(nproc)"
}
