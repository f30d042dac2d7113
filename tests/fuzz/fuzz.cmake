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

# Coverage for the fuzzer in the code under test, not only in the targets; the picture
# decoder is the project's own build (src/assets/picture_decoder.c), so it is covered
# and instrumented as well.
foreach(lib intro_options intro_draw intro_picture_decoder intro_mp3 intro_audio)
  target_compile_options(${lib} PRIVATE -fsanitize=fuzzer-no-link)
endforeach()

# fuzz_target(NAME source LIBS...)
function(fuzz_target name source)
  add_executable(${name} ${CMAKE_CURRENT_LIST_DIR}/${source})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${ARGN})
endfunction()

fuzz_target(fuzz_options fuzz_options.cpp intro_options)
fuzz_target(fuzz_image_loader fuzz_image_loader.cpp intro_draw)
fuzz_target(fuzz_mp3 fuzz_mp3.cpp intro_mp3)
fuzz_target(fuzz_mp3_gaps fuzz_mp3_gaps.cpp intro_mp3 audio_test_mp3)
target_include_directories(fuzz_mp3_gaps PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
fuzz_target(fuzz_frame fuzz_frame.cpp intro_draw)

add_executable(fuzz_make_seeds ${CMAKE_CURRENT_LIST_DIR}/make_seeds.cpp)
target_include_directories(fuzz_make_seeds PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(fuzz_make_seeds PRIVATE audio_test_mp3 picture_cases PkgConfig::STB)

add_custom_target(fuzz_all DEPENDS fuzz_options fuzz_image_loader fuzz_mp3 fuzz_mp3_gaps fuzz_frame
                  fuzz_make_seeds)
