# Shared part of the mingw-w64 toolchains; KELVO_MINGW_TRIPLET names the target.
set(CMAKE_C_COMPILER ${KELVO_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KELVO_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${KELVO_MINGW_TRIPLET}-windres)

# Look for libraries and headers in the target's folder only, never in the
# build machine's /usr/include or /usr/lib.
set(CMAKE_FIND_ROOT_PATH /usr/${KELVO_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The compiler's runtime goes inside every program and library.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
