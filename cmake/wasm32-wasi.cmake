# Cross-compiles for the web: WebAssembly with the WASI C library, from Debian's clang 14,
# lld 14, wasi-libc and the wasm32 builds of libc++ and libc++abi.
# usage: cmake -S . -B build-web -DCMAKE_TOOLCHAIN_FILE=cmake/wasm32-wasi.cmake -DINTRO_WEB=ON
set(CMAKE_SYSTEM_NAME WASI)
set(CMAKE_SYSTEM_VERSION 1)
set(CMAKE_SYSTEM_PROCESSOR wasm32)
set(triple wasm32-wasi)

find_program(CMAKE_C_COMPILER NAMES clang-14 clang REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES clang++-14 clang++ REQUIRED)
find_program(CMAKE_AR NAMES llvm-ar-14 llvm-ar REQUIRED)
find_program(CMAKE_RANLIB NAMES llvm-ranlib-14 llvm-ranlib REQUIRED)
set(CMAKE_C_COMPILER_TARGET ${triple})
set(CMAKE_CXX_COMPILER_TARGET ${triple})

# wasm32 has no FMA to fuse into, but the flag stays as in the native build. Converting an
# out-of-range double to an integer gives the most negative integer, as x86-64 does; the
# saturating conversions would give the largest one for large positive values, so they
# stay off (clang 14's default, pinned here).
set(CMAKE_C_FLAGS_INIT "-mno-nontrapping-fptoint")
set(CMAKE_CXX_FLAGS_INIT "-mno-nontrapping-fptoint -fno-exceptions")

set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
