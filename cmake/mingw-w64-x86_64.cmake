# Cross build for 64-bit Windows with MinGW-w64; the programs run here under Wine.
# The posix thread model: GoogleTest needs std::mutex, which the win32 model lacks.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static: the programs need no MinGW DLL, only Windows' own.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# add_test runs the Windows programs under Wine (scripts/wine-session.sh sets up its prefix).
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
