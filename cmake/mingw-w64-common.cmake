# What both Windows toolchain files share: cross-building with MinGW-w64 (the
# POSIX-thread variant of Debian's g++-mingw-w64-*-posix) on Linux. The
# including file sets CMAKE_SYSTEM_PROCESSOR, TAXBRIDGE_MINGW_TRIPLE and
# TAXBRIDGE_WINE_LOADER_NAME first. The programs are linked statically, so
# they need no MinGW DLL beside them; tests and the demo run them under Wine
# (CMAKE_CROSSCOMPILING_EMULATOR).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${TAXBRIDGE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAXBRIDGE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TAXBRIDGE_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TAXBRIDGE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Debian's /usr/bin/wine starts the 32-bit loader whenever wine32 is
# installed, so each bitness names its own loader (wine64 or wine in
# /usr/lib/wine).
find_program(TAXBRIDGE_WINE_LOADER NAMES ${TAXBRIDGE_WINE_LOADER_NAME} PATHS /usr/lib/wine NO_DEFAULT_PATH)
# Elsewhere than Debian's layout the loader is looked for on the PATH; within
# it, a missing 32-bit loader (wine32 not installed) stays missing, since the
# PATH's wine would hand the 32-bit programs to the 64-bit loader.
if(NOT TAXBRIDGE_WINE_LOADER AND NOT IS_DIRECTORY /usr/lib/wine)
  find_program(TAXBRIDGE_WINE_LOADER NAMES ${TAXBRIDGE_WINE_LOADER_NAME})
endif()
if(TAXBRIDGE_WINE_LOADER)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TAXBRIDGE_WINE_LOADER})
endif()
