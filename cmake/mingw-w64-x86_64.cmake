# Cross-compiles for 64-bit Windows with MinGW-w64 (Debian's mingw-w64 packages): the POSIX
# thread model (std::thread, std::mutex), the C and C++ runtimes linked statically so the
# programs run without MinGW DLLs beside them, and the MinGW pkg-config. The programs and
# tests run under 64-bit Wine through scripts/wine-run.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(FU_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${FU_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${FU_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${FU_MINGW_TRIPLET}-windres)
set(PKG_CONFIG_EXECUTABLE ${FU_MINGW_TRIPLET}-pkg-config CACHE FILEPATH "MinGW pkg-config")

set(CMAKE_FIND_ROOT_PATH /usr/${FU_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Test programs and build-time helpers run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
