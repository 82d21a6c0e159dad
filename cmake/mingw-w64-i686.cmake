# The Windows programs for i686, cross-built on Linux with MinGW-w64; see
# mingw-w64-common.cmake.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TAXBRIDGE_MINGW_TRIPLE i686-w64-mingw32)
set(TAXBRIDGE_WINE_LOADER_NAME wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
