# Third-party libraries as imported targets named tw::<lib>.
#
# Native builds use Debian's -dev packages; the Windows builds use the static
# libraries that ./scripts/deps builds from Debian source packages into a
# cache outside the clone. The 7z reader comes from that cache in both cases.

# Where the cache lies (its version, the HOME fallback, TARNWICK_DEPS_CACHE)
# is decided by scripts/lib/settings.sh alone; asked on every configure, so
# that a new cache version reaches existing build folders too.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/scripts/lib/settings.sh)
execute_process(
  COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/lib/settings.sh TW_DEPS_DIR
  OUTPUT_VARIABLE TW_DEPS_DIR OUTPUT_STRIP_TRAILING_WHITESPACE
  RESULT_VARIABLE _tw_settings_result)
if(NOT _tw_settings_result EQUAL 0 OR NOT TW_DEPS_DIR)
  message(FATAL_ERROR "scripts/lib/settings.sh did not name the dependency cache")
endif()

if(WIN32)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(TW_TARGET_KIND win64)
  else()
    set(TW_TARGET_KIND win32)
  endif()
else()
  set(TW_TARGET_KIND native)
endif()
set(TW_DEPS_PREFIX "${TW_DEPS_DIR}/${TW_TARGET_KIND}")
if(NOT EXISTS "${TW_DEPS_PREFIX}/lib")
  message(FATAL_ERROR "Dependencies for ${TW_TARGET_KIND} not found in ${TW_DEPS_PREFIX}; run ./scripts/deps")
endif()

# The 7z reader (both kinds of build; the fuzz build compiles its own, fuzz/).
if(NOT TW_BUILD_FUZZ)
  add_library(tw::lzma7z STATIC IMPORTED GLOBAL)
  set_target_properties(tw::lzma7z PROPERTIES
    IMPORTED_LOCATION "${TW_DEPS_PREFIX}/lib/liblzma7z.a"
    INTERFACE_INCLUDE_DIRECTORIES "${TW_DEPS_PREFIX}/include/lzma7z")
endif()

# stb_image is header-only; Debian's header serves every target.
add_library(tw::stb INTERFACE IMPORTED GLOBAL)
set_target_properties(tw::stb PROPERTIES INTERFACE_INCLUDE_DIRECTORIES /usr/include/stb)

if(WIN32)
  list(PREPEND CMAKE_PREFIX_PATH "${TW_DEPS_PREFIX}")
  find_package(CURL CONFIG REQUIRED PATHS "${TW_DEPS_PREFIX}" NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  find_package(jsoncpp CONFIG REQUIRED PATHS "${TW_DEPS_PREFIX}" NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  find_package(pugixml CONFIG REQUIRED PATHS "${TW_DEPS_PREFIX}" NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)

  add_library(tw::curl INTERFACE IMPORTED GLOBAL)
  set_target_properties(tw::curl PROPERTIES
    INTERFACE_LINK_LIBRARIES "CURL::libcurl;ws2_32;crypt32;secur32;bcrypt;advapi32;iphlpapi"
    INTERFACE_COMPILE_DEFINITIONS CURL_STATICLIB)

  add_library(tw::jsoncpp INTERFACE IMPORTED GLOBAL)
  if(TARGET jsoncpp_static)
    set_target_properties(tw::jsoncpp PROPERTIES INTERFACE_LINK_LIBRARIES jsoncpp_static)
  else()
    set_target_properties(tw::jsoncpp PROPERTIES INTERFACE_LINK_LIBRARIES JsonCpp::JsonCpp)
  endif()

  add_library(tw::pugixml INTERFACE IMPORTED GLOBAL)
  set_target_properties(tw::pugixml PROPERTIES INTERFACE_LINK_LIBRARIES pugixml::pugixml)

  add_library(tw::zlib STATIC IMPORTED GLOBAL)
  set_target_properties(tw::zlib PROPERTIES IMPORTED_LOCATION /usr/${TW_MINGW_TRIPLE}/lib/libz.a)
else()
  find_package(CURL REQUIRED)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(JSONCPP REQUIRED IMPORTED_TARGET jsoncpp)
  find_package(pugixml REQUIRED)
  find_package(ZLIB REQUIRED)

  add_library(tw::curl INTERFACE IMPORTED GLOBAL)
  set_target_properties(tw::curl PROPERTIES INTERFACE_LINK_LIBRARIES CURL::libcurl)
  add_library(tw::jsoncpp INTERFACE IMPORTED GLOBAL)
  set_target_properties(tw::jsoncpp PROPERTIES INTERFACE_LINK_LIBRARIES PkgConfig::JSONCPP)
  add_library(tw::pugixml INTERFACE IMPORTED GLOBAL)
  set_target_properties(tw::pugixml PROPERTIES INTERFACE_LINK_LIBRARIES pugixml::pugixml)
  add_library(tw::zlib INTERFACE IMPORTED GLOBAL)
  set_target_properties(tw::zlib PROPERTIES INTERFACE_LINK_LIBRARIES ZLIB::ZLIB)
endif()

find_package(Threads REQUIRED)
