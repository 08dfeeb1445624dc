# Configures a build folder once and builds it incrementally. Sourced by
# ./test and ./run, which run it from the repository root.
#   clipwright_build DIR [CMAKE_ARGUMENTS...]
# The CMake arguments count only when DIR is configured for the first time.

clipwright_build() {
    local build_dir=$1
    shift
    if [ ! -f "$build_dir/build.ninja" ]; then
        cmake -S . -B "$build_dir" -G Ninja "$@"
    fi
    cmake --build "$build_dir"
}

# The same for one target only (a fuzz build has no tests to build).
#   clipwright_build_target DIR TARGET [CMAKE_ARGUMENTS...]
clipwright_build_target() {
    local build_dir=$1 target=$2
    shift 2
    if [ ! -f "$build_dir/build.ninja" ]; then
        cmake -S . -B "$build_dir" -G Ninja "$@"
    fi
    cmake --build "$build_dir" --target "$target"
}
