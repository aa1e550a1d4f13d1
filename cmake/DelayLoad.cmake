# Windows builds: no program of the project names a plantable DLL in its
# import table.
#
# The installer runs elevated from wherever it was downloaded to. Windows
# resolves a static import that is not a KnownDLL by searching the program's
# own folder first, before any of the program's code runs, so a DLL dropped
# next to it under such a name would run as administrator. Every system DLL
# outside TW_KNOWN_DLLS is therefore delay-loaded instead:
#
#   - At configure time a delay-import library is made for each of them
#     (dlltool --output-delaylib from a .def listing the functions of
#     mingw-w64's own import library) and put first in the library search
#     path under the usual name, so `-lwinhttp`, whoever asks for it (our
#     targets, libcurl's link interface), links the delay-loading variant.
#   - tw_dll_guard (src/app/dll_guard_win.cpp) is linked into every program:
#     its notification hook loads those DLLs by their full System32 path, and
#     its TLS callback restricts the DLL search before any static initialiser.
#
# tests/app checks the import tables against TW_KNOWN_DLLS and runs the
# installers with planted DLLs next to them.
if(NOT WIN32)
  return()
endif()

# KnownDLLs (or loaded by every process before the program's imports):
# a file of that name next to the program is never used.
set(TW_KNOWN_DLLS
  advapi32 comdlg32 gdi32 gdiplus imagehlp imm32 kernel32 msctf msvcrt normaliz nsi ole32
  oleaut32 psapi rpcrt4 sechost setupapi shcore shell32 shlwapi user32 wldap32 ws2_32 ntdll)
# What the project and its libraries link from outside that list.
set(TW_DELAY_LOADED_DLLS bcrypt crypt32 iphlpapi msimg32 netapi32 secur32 winhttp winmm wtsapi32)

find_program(TW_DLLTOOL ${TW_MINGW_TRIPLE}-dlltool REQUIRED)
find_program(TW_NM ${TW_MINGW_TRIPLE}-nm REQUIRED)
set(TW_DELAY_LIB_DIR ${CMAKE_BINARY_DIR}/delay-load)
file(MAKE_DIRECTORY ${TW_DELAY_LIB_DIR})

# i686 names carry the stdcall decoration (_Name@8) in the import library;
# dlltool -k imports them by the bare name, as the DLL exports them.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(_tw_imp_prefix "__imp_")
  set(_tw_kill_at "")
  set(_tw_hook_symbol "__pfnDliNotifyHook2")
else()
  set(_tw_imp_prefix "__imp__")
  set(_tw_kill_at "-k")
  set(_tw_hook_symbol "___pfnDliNotifyHook2")
endif()

function(_tw_make_delay_lib dll)
  find_file(_tw_import_lib lib${dll}.a PATHS /usr/${TW_MINGW_TRIPLE}/lib NO_DEFAULT_PATH NO_CACHE REQUIRED)
  set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_tw_import_lib})
  set(out ${TW_DELAY_LIB_DIR}/lib${dll}.a)
  if(EXISTS ${out} AND NOT ${_tw_import_lib} IS_NEWER_THAN ${out})
    return()
  endif()
  execute_process(COMMAND ${TW_NM} ${_tw_import_lib} OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCHALL "[^\n]+" lines "${symbols}")
  set(code "")
  set(imported "")
  foreach(line IN LISTS lines)
    if(line MATCHES " T ([^ ]+)$")
      list(APPEND code "${CMAKE_MATCH_1}")
    elseif(line MATCHES " I ${_tw_imp_prefix}([^ ]+)$")
      list(APPEND imported "${CMAKE_MATCH_1}")
    endif()
  endforeach()
  list(REMOVE_DUPLICATES imported)
  set(def "LIBRARY ${dll}.dll\nEXPORTS\n")
  foreach(name IN LISTS imported)
    set(thunk "${name}")
    if(_tw_kill_at)
      set(thunk "_${name}")
    endif()
    if(thunk IN_LIST code)
      string(APPEND def "${name}\n")
    else()
      string(APPEND def "${name} DATA\n")
    endif()
  endforeach()
  file(WRITE ${TW_DELAY_LIB_DIR}/${dll}.def "${def}")
  execute_process(
    COMMAND ${TW_DLLTOOL} ${_tw_kill_at} --input-def ${TW_DELAY_LIB_DIR}/${dll}.def --dllname ${dll}.dll
            --output-delaylib ${out}
    WORKING_DIRECTORY ${TW_DELAY_LIB_DIR}
    COMMAND_ERROR_IS_FATAL ANY)
endfunction()

foreach(dll IN LISTS TW_DELAY_LOADED_DLLS)
  _tw_make_delay_lib(${dll})
endforeach()

# Searched before the toolchain's own folder by every link of this build.
add_link_options(-L${TW_DELAY_LIB_DIR} -Wl,-u,${_tw_hook_symbol})
add_library(tw_dll_guard STATIC ${PROJECT_SOURCE_DIR}/src/app/dll_guard_win.cpp)
target_include_directories(tw_dll_guard PUBLIC ${PROJECT_SOURCE_DIR}/src)
link_libraries(tw_dll_guard)
