# Shared by scripts/run and scripts/test: installs what the build needs on a
# Debian machine and builds Korvani into build/, or with KORVANI_QT=6 in the
# environment against Qt 6 into build-qt6/.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Each Qt: its headers and tools (the translations' among them), its
# catalogues, which translate Qt's own dialogs, and its SVG support, which
# draws the many program icons that themes ship only as SVG.
qt5_packages=(qtbase5-dev qttools5-dev qttools5-dev-tools qttranslations5-l10n libqt5svg5)
qt6_packages=(qt6-base-dev qt6-tools-dev qt6-l10n-tools qt6-translations-l10n libqt6svg6)
qt_version=${KORVANI_QT:-5}
case "$qt_version" in
5)
    build_dir="$root/build"
    qt_packages=("${qt5_packages[@]}")
    ;;
6)
    build_dir="$root/build-qt6"
    qt_packages=("${qt6_packages[@]}")
    ;;
*)
    echo "KORVANI_QT is 5 or 6, not $qt_version" >&2
    exit 1
    ;;
esac

# What Korvani needs to be built and to run besides: the X libraries serve
# the global shortcut; simdjson reads the launcher file.
build_packages=(cmake g++ make pkgconf fonts-dejavu-core libxcb1-dev libxcb-keysyms1-dev libsimdjson-dev
    "${qt_packages[@]}")
# What the tests and benchmarks need besides: Google Benchmark, the start-up
# probe's X library, Xvfb and xdotool for the tests that need a real X server,
# a Japanese font for the Japanese interface, and a D-Bus daemon for the
# session bus of the test portal.
test_packages=(libbenchmark-dev libxcb-damage0-dev xvfb xauth xdotool fonts-ipafont-gothic dbus-daemon)

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

# Configures with the given CMake options and builds the given targets, or
# everything: build_korvani [OPTION...] [-- TARGET...]
build_korvani() {
    local options=() targets=()
    while [ $# -gt 0 ] && [ "$1" != -- ]; do
        options+=("$1")
        shift
    done
    [ $# -gt 0 ] && shift
    targets=("$@")
    install_packages "${build_packages[@]}"
    cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVANI_QT="$qt_version" "${options[@]}"
    if [ ${#targets[@]} -eq 0 ]; then
        cmake --build "$build_dir" --parallel "$(nproc)"
    else
        cmake --build "$build_dir" --parallel "$(nproc)" --target "${targets[@]}"
    fi
}
