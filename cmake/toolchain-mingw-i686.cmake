# Toolchain: 32-bit Windows (PE32) with mingw-w64, posix thread model.
#
# Usage:
#   cmake --preset win32
#   # or by hand:
#   cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake
#
# This builds the shipped installer. Its tests are built but not run: these
# machines cannot execute 32-bit code. Needs: g++-mingw-w64-i686-posix.
set(TW_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR X86)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
