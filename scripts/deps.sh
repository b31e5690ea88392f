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

# Configures a build tree. A new tree is configured with ARGS; an existing one is configured
# again only when ARGS differ from the last ones (so an unchanged rerun costs nothing), and every
# -DNAME=VALUE asked for is then checked against the tree's cache: a value CMake cannot change
# on an existing tree (the toolchain file, for one) is reported, and the configure fails.
#   tessaly_configure BUILD_DIR [CMAKE ARGS...]
tessaly_configure() {
    local dir=$1
    shift
    local record=$dir/tessaly-configure-args
    local wanted
    wanted=$(printf '%s\n' "$@")
    if [ -f "$dir/CMakeCache.txt" ] && { [ -f "$dir/build.ninja" ] || [ -f "$dir/Makefile" ]; }; then
        [ -f "$record" ] && [ "$(cat "$record")" = "$wanted" ] && return 0
        cmake "$dir" "$@" || return 1
    else
        local launcher=()
        # A compiler cache, when installed, makes rebuilds after a branch switch or in a second
        # checkout cheap; the build never depends on it.
        if command -v ccache >/dev/null 2>&1; then
            launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
        fi
        cmake -S "$TESSALY_ROOT" -B "$dir" -G "$(tessaly_generator)" "${launcher[@]}" "$@" || return 1
    fi
    tessaly_check_cache "$dir" "$@" || return 1
    printf '%s\n' "$wanted" >"$record"
}

# The file a program name or path runs, links resolved; the name itself when it names none.
#   tessaly_program_file NAME
tessaly_program_file() {
    local found
    found=$(command -v "$1" 2>/dev/null) || found=$1
    readlink -f "$found" 2>/dev/null || echo "$found"
}

# Fails, naming each one, when a -DNAME[:TYPE]=VALUE argument is not what the tree holds.
#   tessaly_check_cache BUILD_DIR [CMAKE ARGS...]
tessaly_check_cache() {
    local dir=$1 arg name value line status=0
    shift
    for arg in "$@"; do
        case "$arg" in -D*=*) ;; *) continue ;; esac
        name=${arg#-D}
        value=${name#*=}
        name=${name%%=*}
        name=${name%%:*}
        line=$(grep -m1 "^$name:[A-Z]*=" "$dir/CMakeCache.txt") || line=
        if [ "$name" = CMAKE_TOOLCHAIN_FILE ]; then
            # Read once, when the tree is made: the tree's system file says which one it took.
            grep -qsF "include(\"$value\")" "$dir"/CMakeFiles/*/CMakeSystem.cmake && continue
        elif [[ $name == *_COMPILER ]]; then
            # CMake keeps the program it found ("clang" is cached as /usr/bin/clang): compare
            # the files both name.
            [ -n "$value" ] && [ -n "${line#*=}" ] &&
                [ "$(tessaly_program_file "$value")" = "$(tessaly_program_file "${line#*=}")" ] &&
                continue
        else
            [ "${line#*=}" = "$value" ] && continue
        fi
        echo "$dir: $name=$value was not applied to this existing build tree;" \
            "remove $dir to configure it afresh" >&2
        status=1
    done
    return $status
}
