# Cross-compiles for the web: WebAssembly with the WASI C library, from Debian's clang 14,
# lld 14, wasi-libc and the wasm32 builds of libc++ and libc++abi.
# usage: cmake -S . -B build-web -DCMAKE_TOOLCHAIN_FILE=cmake/wasm32-wasi.cmake -DINTRO_WEB=ON
# CMake has no platform file for WASI; the generic one with clang's target does.
set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_PROCESSOR wasm32)
set(triple wasm32-wasi)

find_program(CMAKE_C_COMPILER NAMES clang-14 clang REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES clang++-14 clang++ REQUIRED)
find_program(CMAKE_AR NAMES llvm-ar-14 llvm-ar REQUIRED)
find_program(CMAKE_RANLIB NAMES llvm-ranlib-14 llvm-ranlib REQUIRED)
set(CMAKE_C_COMPILER_TARGET ${triple})
set(CMAKE_CXX_COMPILER_TARGET ${triple})
# The code-generation flags the module needs are set by web/CMakeLists.txt, so that they
# hold whatever CMAKE_CXX_FLAGS says.

set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
