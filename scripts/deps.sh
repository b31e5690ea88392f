# Sourced by the top-level scripts: installs the Debian packages that are missing, and nothing when
# all are present (so reruns never touch apt).
#   tessaly_need_packages PACKAGE...
tessaly_need_packages() {
    local missing=() pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q '^install ok installed'; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
    fi
    echo "Installing: ${missing[*]}" >&2
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -q
    "${sudo[@]}" apt-get install -y -q "${missing[@]}"
}

# The CMake generator: Ninja when it is there.
tessaly_generator() {
    if command -v ninja >/dev/null 2>&1; then
        echo Ninja
    else
        echo "Unix Makefiles"
    fi
}

# Configures a build tree once; later builds let CMake re-run itself when a CMakeLists changes.
#   tessaly_configure BUILD_DIR [CMAKE ARGS...]
tessaly_configure() {
    local dir=$1
    shift
    if [ ! -f "$dir/build.ninja" ] && [ ! -f "$dir/Makefile" ]; then
        local launcher=()
        # A compiler cache, when installed, makes rebuilds after a branch switch or in a second
        # checkout cheap; the build never depends on it.
        if command -v ccache >/dev/null 2>&1; then
            launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
        fi
        cmake -S "$TESSALY_ROOT" -B "$dir" -G "$(tessaly_generator)" "${launcher[@]}" "$@"
    fi
}
