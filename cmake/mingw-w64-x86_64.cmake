# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (its POSIX thread model), the
# C and C++ runtimes linked in, so that a program needs no DLL beyond the system's.
# usage: cmake --preset windows   (build-windows/)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triple x86_64-w64-mingw32)

find_program(CMAKE_C_COMPILER NAMES ${triple}-gcc-posix REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${triple}-g++-posix REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
