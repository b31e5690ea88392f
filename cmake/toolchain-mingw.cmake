# Cross-compiling Tessaly's Windows programs and tests with MinGW-w64 (Debian's posix-thread variant,
# which gives std::thread and std::mutex). Use with:
#   cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TESSALY_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TESSALY_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TESSALY_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TESSALY_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TESSALY_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every .exe carries its C and C++ runtime and winpthread, so it runs alone on a Windows machine.
# This must be an _INIT flag: add_link_options() issued after targets exist would miss them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Release at -O2: quicker to build than CMake's -O3, and clear of GCC 12's false -Wrestrict
# warnings on inlined std::string code at -O3.
set(CMAKE_C_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "C flags for Release builds")
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "C++ flags for Release builds")

# ctest and try_run start Windows executables through Wine, in the build tree's own prefix and
# under a time limit (see scripts/wine-run.sh).
get_filename_component(TESSALY_SOURCE_ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${TESSALY_SOURCE_ROOT}/scripts/wine-run.sh)
