# Toolchain: 32-bit Windows (PE32) with mingw-w64, posix thread model.
#
# Usage:
#   cmake --preset win32
#   # or by hand:
#   cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake
#
# This builds the shipped installer. Its tests run under Wine like the x86_64
# ones, in a 64-bit prefix through WoW64, and the Windows XP smoke run in a
# pure 32-bit prefix (cmake/wine-run). Needs: g++-mingw-w64-i686-posix and,
# for the tests, 32-bit Wine (wine32:i386); ./scripts/deps installs both.
set(TW_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR X86)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
