# The Debian/Ubuntu packages the test and demo commands need, and how they get them. Sourced by
# tools/test.sh and tools/demo.sh; not a command of its own.

# Everything tools/test.sh builds and runs with.
QB_PACKAGES=(wine64 wine g++-mingw-w64-x86-64 g++-mingw-w64-i686 xvfb xdotool xclip imagemagick dosbox
    nasm ninja-build cmake g++ clang libclang-rt-14-dev libgtest-dev libgmock-dev
    libbenchmark-dev libstb-dev clang-format git locales)
# What the demo needs: the 64-bit Windows build, Wine, and a screen to show it on or Xvfb.
QB_DEMO_PACKAGES=(wine64 wine g++-mingw-w64-x86-64 xvfb xdotool imagemagick nasm ninja-build
    cmake)

# qb_install_packages PACKAGE...: installs those that are missing with apt-get (apt-get update
# runs only then). The i386 architecture is never added: 32-bit code cannot run on this kernel.
qb_install_packages() {
    local missing=() p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$p")
    done
    if ((${#missing[@]} == 0)); then
        echo "all $# packages are installed"
        return 0
    fi
    printf '\n== installing: %s\n' "${missing[*]}"
    local sudo=()
    if ((EUID != 0)); then
        command -v sudo >/dev/null || {
            echo "need root (or sudo) to install: ${missing[*]}" >&2
            return 1
        }
        sudo=(sudo -n)
    fi
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get update -q </dev/null &&
        DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q \
            --no-install-recommends "${missing[@]}" </dev/null
}
