# Shared by the scripts in scripts/: installs what is missing and configures a build tree.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
JOBS="${JOBS:-2}"

# Lets ccache reuse objects between clones of the repository.
export CCACHE_BASEDIR="$ROOT" CCACHE_NOHASHDIR=true

# Debian packages the build, the tests, the benchmarks and the package need.
PACKAGES=(
    cmake ninja-build g++ ccache pkg-config dpkg-dev
    lintian appstream desktop-file-utils
    qt6-base-dev qt6-base-dev-tools libgl-dev fonts-dejavu-core
    qcoro-qt6-dev libyaml-cpp-dev
    libgtest-dev libgmock-dev libbenchmark-dev
)

install_missing() {
    local missing=()
    for p in "${PACKAGES[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    if [ "${#missing[@]}" -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        local sudo=""
        [ "$(id -u)" -eq 0 ] || sudo="sudo"
        $sudo apt-get update
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
    fi
}

# configure_and_build DIR [cmake options...]
configure_and_build() {
    local dir="$1"; shift
    cmake -S "$ROOT" -B "$ROOT/$dir" -G Ninja "$@"
    cmake --build "$ROOT/$dir" -j "$JOBS"
}

# The build the README's commands share: tests on, sanitizers on, warnings are errors.
build_main() {
    configure_and_build build -DPELLICAM_TESTS=ON -DPELLICAM_SANITIZE=ON -DPELLICAM_WERROR=ON
}
