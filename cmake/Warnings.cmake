option(TOLVANE_WERROR "Treat compiler warnings as errors" OFF)

add_library(tolvane_warnings INTERFACE)
target_compile_options(tolvane_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow
  $<$<BOOL:${TOLVANE_WERROR}>:-Werror>)
