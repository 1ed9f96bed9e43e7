# 64-bit Windows build; its programs run here under wine64.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KV_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
find_program(KV_WINE64 NAMES wine64 PATHS /usr/lib/wine /usr/bin NO_CMAKE_FIND_ROOT_PATH)
if(KV_WINE64)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${KV_WINE64})
endif()
