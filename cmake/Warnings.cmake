# Project-wide warning level; third-party targets are built outside this tree.
add_compile_options(-Wall -Wextra -Wno-unused-parameter)
if(WIN32)
  # Unicode Win32 API everywhere; no min/max macros; XP-era APIs are looked
  # up at run time where the installer needs them.
  add_compile_definitions(UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601)
endif()

# The shipped build (MinSizeRel) puts every function and object in its own
# section, so that the installer's --gc-sections link drops all code that
# nothing calls.
add_compile_options($<$<CONFIG:MinSizeRel>:-ffunction-sections> $<$<CONFIG:MinSizeRel>:-fdata-sections>)
