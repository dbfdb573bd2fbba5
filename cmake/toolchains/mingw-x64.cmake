# 64-bit Windows with Debian's mingw-w64 cross compilers (POSIX thread model).
# Programs are linked -static, so that they and the add-in need no DLL of the
# compiler's runtime (libstdc++, libgcc, winpthread); tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(KELVO_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_CURRENT_LIST_DIR}/../../tools/wine/run.sh --prefix ${CMAKE_BINARY_DIR}/wineprefix)
