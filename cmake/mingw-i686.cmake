# 32-bit Windows build, the program as shipped. It cannot run here (no 32-bit Wine).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KV_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
