# The Windows programs for x86_64, cross-built on Linux with MinGW-w64; see
# mingw-w64-common.cmake.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TAXBRIDGE_MINGW_TRIPLE x86_64-w64-mingw32)
set(TAXBRIDGE_WINE_LOADER_NAME wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
