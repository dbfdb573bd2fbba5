# Warnings are errors in the project's own code (not in third-party sources).
# -Wshadow=local is GCC's; clang (the fuzzing build) has no such option.
add_library(kelvo_warnings INTERFACE)
target_compile_options(kelvo_warnings INTERFACE
  -Wall -Wextra -Werror -Wnon-virtual-dtor -Wcast-align -Wno-cast-function-type
  $<$<CXX_COMPILER_ID:GNU>:-Wshadow=local>)
