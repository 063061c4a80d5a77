# 64-bit Windows with the MinGW-w64 x86_64 cross compiler: the same gauge
# code as the deliverables, for the tests that run it under Wine (this
# machine's Wine runs only 64-bit programs).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The module resources must be COFF for this machine type.
set(ZAZ_WINDRES x86_64-w64-mingw32-windres CACHE STRING "windres that compiles the module resources")
# Programs carry their runtime: Wine finds no MinGW DLLs of its own.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
