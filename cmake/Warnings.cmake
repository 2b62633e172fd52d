option(TOLVANE_WERROR "Treat compiler warnings as errors" OFF)

add_library(tolvane_warnings INTERFACE)
target_compile_options(tolvane_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow
  $<$<BOOL:${TOLVANE_WERROR}>:-Werror>)
if(WIN32 AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  # GCC 12 warns of overlapping copies inside std::string's own concatenation
  # at -O3 (a false positive, GCC bug 105329); only mingw's g++ 12 meets it here.
  target_compile_options(tolvane_warnings INTERFACE -Wno-restrict)
endif()
