# Shared by scripts/run and scripts/test: installs what the build needs on a
# Debian machine and builds Korvani into build/.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir="$root/build"

# The X libraries serve the global shortcut and the start-up benchmark's probe;
# Xvfb and xdotool the tests that need a real X server; simdjson reads the
# launcher file.
build_packages=(cmake g++ make pkgconf qtbase5-dev qttools5-dev qttools5-dev-tools libbenchmark-dev fonts-dejavu-core
    libxcb1-dev libxcb-keysyms1-dev libxcb-damage0-dev xvfb xauth xdotool libsimdjson-dev)

install_packages() {
    local missing=()
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
    fi
    echo "Installing ${missing[*]}"
    "${sudo[@]}" apt-get update
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
}

build_korvani() {
    install_packages "${build_packages[@]}"
    cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    cmake --build "$build_dir" --parallel "$(nproc)"
}
