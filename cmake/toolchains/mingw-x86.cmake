# 32-bit Windows with Debian's mingw-w64 cross compilers (POSIX thread model),
# linked -static like the 64-bit build. Nothing here can run 32-bit Windows
# programs, so this build has no emulator and its tests inspect the files.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(KELVO_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
