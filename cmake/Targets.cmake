# Helpers that keep every folder's CMakeLists.txt to a few lines.
#
#   tw_add_library(<name> SOURCES ... [DEPS ...] [PUBLIC_DEPS ...])
#     A static library whose include root is src/, so that code includes
#     "platform/process.h", "utils/log.h" and so on.
#
#   tw_platform_sources(<var> <stem>...)
#     Appends <stem>.h's implementation for this target: <stem>_win.cpp on
#     Windows, <stem>_posix.cpp elsewhere.
function(tw_add_library name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS;PUBLIC_DEPS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${A_PUBLIC_DEPS} PRIVATE ${A_DEPS})
endfunction()

function(tw_platform_sources var)
  set(out ${${var}})
  foreach(stem IN LISTS ARGN)
    if(WIN32)
      list(APPEND out ${stem}_win.cpp)
    else()
      list(APPEND out ${stem}_posix.cpp)
    endif()
  endforeach()
  set(${var} ${out} PARENT_SCOPE)
endfunction()
