# Cross-building the Windows programs (x86_64) on Linux with MinGW-w64 (the
# POSIX-thread variant of Debian's g++-mingw-w64-*-posix). The programs are
# linked statically, so they need no MinGW DLL beside them; tests and the
# demo run them under Wine (CMAKE_CROSSCOMPILING_EMULATOR).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TAXBRIDGE_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TAXBRIDGE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAXBRIDGE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TAXBRIDGE_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TAXBRIDGE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Debian's /usr/bin/wine starts the 32-bit loader whenever wine32 is
# installed, so each bitness names its own loader.
find_program(TAXBRIDGE_WINE_LOADER NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(NOT TAXBRIDGE_WINE_LOADER)
  find_program(TAXBRIDGE_WINE_LOADER NAMES wine64 wine)
endif()
if(TAXBRIDGE_WINE_LOADER)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TAXBRIDGE_WINE_LOADER})
endif()
