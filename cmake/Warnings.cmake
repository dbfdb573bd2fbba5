# Warnings are errors in the project's own code (not in third-party sources).
add_library(kelvo_warnings INTERFACE)
target_compile_options(kelvo_warnings INTERFACE
  -Wall -Wextra -Werror -Wshadow=local -Wnon-virtual-dtor -Wcast-align -Wno-cast-function-type)
