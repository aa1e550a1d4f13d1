# Shared part of the mingw-w64 toolchain files; include it after setting
# TW_MINGW_TRIPLE. Not meant to be passed to CMake directly.
#
# Why the "-posix" compilers: the win32 thread model of mingw-w64 has no
# std::thread / std::mutex, and the core code uses both.
if(NOT TW_MINGW_TRIPLE)
  message(FATAL_ERROR "toolchain: set TW_MINGW_TRIPLE before including this file")
endif()

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_VERSION 6.1)

find_program(TW_MINGW_CXX ${TW_MINGW_TRIPLE}-g++-posix)
find_program(TW_MINGW_CC ${TW_MINGW_TRIPLE}-gcc-posix)
find_program(TW_MINGW_RC ${TW_MINGW_TRIPLE}-windres)
if(NOT TW_MINGW_CXX OR NOT TW_MINGW_CC OR NOT TW_MINGW_RC)
  message(FATAL_ERROR
    "toolchain: ${TW_MINGW_TRIPLE}-g++-posix, -gcc-posix or -windres not found; "
    "run ./scripts/deps first")
endif()

set(CMAKE_C_COMPILER ${TW_MINGW_CC})
set(CMAKE_CXX_COMPILER ${TW_MINGW_CXX})
set(CMAKE_RC_COMPILER ${TW_MINGW_RC})

set(CMAKE_FIND_ROOT_PATH /usr/${TW_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static runtime: the installer is one file that must run on a bare system.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
