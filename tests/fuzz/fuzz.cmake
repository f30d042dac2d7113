# libFuzzer targets, built only with INTRO_FUZZ=ON by clang in a folder of their own,
# together with INTRO_SANITIZE=ON so every input runs under ASan and UBSan:
#   CC=clang CXX=clang++ cmake -S . -B build-fuzz -DINTRO_FUZZ=ON -DINTRO_SANITIZE=ON
# tests/fuzz/run_fuzz.sh builds them, makes the seed corpus and runs each for a while.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "INTRO_FUZZ needs clang (libFuzzer): configure with CC=clang CXX=clang++")
endif()
if(NOT INTRO_SANITIZE)
  message(FATAL_ERROR "INTRO_FUZZ needs INTRO_SANITIZE=ON: a fuzz run without sanitizers finds little")
endif()

# Coverage for the fuzzer in the code under test, not only in the targets.
foreach(lib intro_options intro_draw intro_audio)
  target_compile_options(${lib} PRIVATE -fsanitize=fuzzer-no-link)
endforeach()

# The picture decoder as source, instrumented (see stb_image_decoder.c). It hands a null
# buffer with a length of 0 to memcpy and adds 0 to it (an empty PNG data chunk before any
# other): undefined by the letter, harmless in fact, and not ours to change, so those two
# checks are off for the decoder alone; every other check stays on.
add_library(fuzz_stb_image OBJECT ${CMAKE_CURRENT_LIST_DIR}/stb_image_decoder.c)
target_compile_options(fuzz_stb_image PRIVATE -fsanitize=fuzzer-no-link
                       -fno-sanitize=pointer-overflow,nonnull-attribute)

# fuzz_target(NAME source LIBS...)
function(fuzz_target name source)
  add_executable(${name} ${CMAKE_CURRENT_LIST_DIR}/${source})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${ARGN})
endfunction()

fuzz_target(fuzz_options fuzz_options.cpp intro_options)
fuzz_target(fuzz_image_loader fuzz_image_loader.cpp fuzz_stb_image intro_draw)
fuzz_target(fuzz_mp3 fuzz_mp3.cpp intro_audio)
fuzz_target(fuzz_frame fuzz_frame.cpp intro_draw)

add_executable(fuzz_make_seeds ${CMAKE_CURRENT_LIST_DIR}/make_seeds.cpp)
target_include_directories(fuzz_make_seeds PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(fuzz_make_seeds PRIVATE audio_test_mp3 stb)

add_custom_target(fuzz_all DEPENDS fuzz_options fuzz_image_loader fuzz_mp3 fuzz_frame fuzz_make_seeds)
