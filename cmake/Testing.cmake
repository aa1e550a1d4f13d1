# GoogleTest for every target: Debian's packages natively, Debian's
# /usr/src/googletest compiled with the cross compiler for Windows.
#
#   tw_add_test(<name> SOURCES ... [DEPS ...] [LABELS ...])
#     One gtest executable, registered with ctest. Under a cross build ctest
#     runs it through CMAKE_CROSSCOMPILING_EMULATOR (cmake/wine-run), so
#     `ctest` in build/win64 runs every test under Wine.
if(WIN32)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/_googletest EXCLUDE_FROM_ALL)
  add_library(tw::gtest INTERFACE IMPORTED GLOBAL)
  set_target_properties(tw::gtest PROPERTIES INTERFACE_LINK_LIBRARIES "gmock;gtest")
  add_library(tw::gtest_main INTERFACE IMPORTED GLOBAL)
  set_target_properties(tw::gtest_main PROPERTIES INTERFACE_LINK_LIBRARIES "gmock;gtest;gtest_main")
else()
  find_package(GTest REQUIRED)
  add_library(tw::gtest INTERFACE IMPORTED GLOBAL)
  set_target_properties(tw::gtest PROPERTIES INTERFACE_LINK_LIBRARIES "GTest::gmock;GTest::gtest")
  add_library(tw::gtest_main INTERFACE IMPORTED GLOBAL)
  set_target_properties(tw::gtest_main PROPERTIES INTERFACE_LINK_LIBRARIES "GTest::gmock;GTest::gtest;GTest::gtest_main")
endif()

include(GoogleTest)

function(tw_add_test name)
  cmake_parse_arguments(A "" "TIMEOUT" "SOURCES;DEPS;LABELS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${A_DEPS} tw::gtest_main Threads::Threads)
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 300)
  endif()
  # One ctest entry per executable: under Wine each start costs a second or
  # more, so discovering every case as its own ctest entry would be slow.
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
  set_tests_properties(${name} PROPERTIES TIMEOUT ${A_TIMEOUT} LABELS "${A_LABELS}")
  if(CMAKE_CROSSCOMPILING)
    # cmake/wine-run's answer when this machine cannot run the program at
    # all (a 32-bit program on a kernel without 32-bit support).
    set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77)
  endif()
  if(TW_TEST_ENV)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${TW_TEST_ENV}")
  endif()
endfunction()
