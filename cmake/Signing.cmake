# Authenticode signing of the shipped programs (Windows builds).
#
# An unsigned elevated download is what SmartScreen and virus scanners flag
# first, so a release build is signed right after linking when it is given a
# code-signing certificate and its key:
#
#   TW_SIGN_CERT            certificate (chain) file, PEM or DER
#   TW_SIGN_KEY             its private key, PEM or DER
#   TW_SIGN_TIMESTAMP_URL   RFC 3161 timestamp server (optional; empty: none)
#   TW_SIGN_DESCRIPTION     program description in the signature (optional)
#
# Each is a cache variable; one left empty takes the environment variable of
# the same name at configure time. The key's passphrase, if any, never enters
# the cache: cmake/sign-exe reads it from the file named by the environment
# variable TW_SIGN_KEY_PASSWORD_FILE when the build runs.
#
# tw_sign_executable(target) adds the signing step to a program; without a
# certificate and key it does nothing and the programs stay unsigned.
# cmake/sign-exe is the one signing command, used by the tests as well.
set(TW_SIGN_EXE ${CMAKE_CURRENT_LIST_DIR}/sign-exe)

set(TW_SIGN_CERT "" CACHE FILEPATH "Code-signing certificate for the shipped programs (empty: unsigned)")
set(TW_SIGN_KEY "" CACHE FILEPATH "Private key of TW_SIGN_CERT")
set(TW_SIGN_TIMESTAMP_URL "" CACHE STRING "RFC 3161 timestamp server for the signatures (empty: none)")
set(TW_SIGN_DESCRIPTION "" CACHE STRING "Program description in the signatures (empty: none)")

foreach(_tw_var TW_SIGN_CERT TW_SIGN_KEY TW_SIGN_TIMESTAMP_URL TW_SIGN_DESCRIPTION)
  if("${${_tw_var}}" STREQUAL "" AND NOT "$ENV{${_tw_var}}" STREQUAL "")
    set(_${_tw_var} "$ENV{${_tw_var}}")
  else()
    set(_${_tw_var} "${${_tw_var}}")
  endif()
endforeach()

set(TW_SIGNING OFF)
if(NOT WIN32)
  # Only Windows programs carry Authenticode signatures.
elseif(_TW_SIGN_CERT STREQUAL "" AND _TW_SIGN_KEY STREQUAL "")
  message(STATUS "Signing: off (set TW_SIGN_CERT and TW_SIGN_KEY to sign TarnwickSetup.exe)")
elseif(_TW_SIGN_CERT STREQUAL "" OR _TW_SIGN_KEY STREQUAL "")
  message(FATAL_ERROR "Signing needs both TW_SIGN_CERT and TW_SIGN_KEY; only one is set")
else()
  foreach(_tw_file IN ITEMS "${_TW_SIGN_CERT}" "${_TW_SIGN_KEY}")
    if(NOT EXISTS "${_tw_file}")
      message(FATAL_ERROR "Signing: no such file: ${_tw_file}")
    endif()
  endforeach()
  find_program(TW_OSSLSIGNCODE osslsigncode)
  if(NOT TW_OSSLSIGNCODE)
    message(FATAL_ERROR "Signing: TW_SIGN_CERT and TW_SIGN_KEY are set but osslsigncode is not installed")
  endif()
  set(TW_SIGNING ON)
  set(TW_SIGN_ARGS --tool ${TW_OSSLSIGNCODE})
  if(NOT _TW_SIGN_TIMESTAMP_URL STREQUAL "")
    list(APPEND TW_SIGN_ARGS --timestamp ${_TW_SIGN_TIMESTAMP_URL})
  endif()
  if(NOT _TW_SIGN_DESCRIPTION STREQUAL "")
    list(APPEND TW_SIGN_ARGS --description ${_TW_SIGN_DESCRIPTION})
  endif()
  message(STATUS "Signing: on, with ${_TW_SIGN_CERT}")
endif()

function(tw_sign_executable target)
  if(NOT TW_SIGNING)
    return()
  endif()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${TW_SIGN_EXE} ${TW_SIGN_ARGS} ${_TW_SIGN_CERT} ${_TW_SIGN_KEY} $<TARGET_FILE:${target}>
    COMMENT "Signing $<TARGET_FILE_NAME:${target}>"
    VERBATIM)
endfunction()
