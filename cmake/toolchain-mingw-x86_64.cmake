# Toolchain: 64-bit Windows (PE32+) with mingw-w64, posix thread model.
#
# Usage:
#   cmake --preset win64
#   # or by hand:
#   cmake -S . -B build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-x86_64.cmake
#
# Its tests run under Wine's 64-bit loader (cmake/wine-run), as do those of
# the i686 build. Needs: g++-mingw-w64-x86-64-posix (./scripts/deps installs it).
set(TW_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
