# Hardening: hostile option lines, music files with lying tags, decoder reasons that
# would print badly; the bad-input matrix of the pictures end to end; the fuzz targets
# (fuzz builds only). The music's bad inputs are in audio.cmake (music_failures.sh).
intro_test(hardening_test hardening_options_test.cpp hardening_decoder_test.cpp
           hardening_loader_test.cpp assets_test_files.cpp
           LIBS intro_options intro_audio audio_test_mp3)

# Every kind of unusable picture, one at a time and all at once, through the real intro
# under Xvfb and intro-render over the whole show.
add_test(NAME hardening_bad_pictures
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/with-xvfb.sh 640x480
                 ${CMAKE_CURRENT_SOURCE_DIR}/e2e/bad_inputs.sh $<TARGET_FILE:intro>
                 $<TARGET_FILE:intro-render> $<TARGET_FILE:audio_swap_probe>
                 ${CMAKE_BINARY_DIR}/test-data-pack)
set_tests_properties(hardening_bad_pictures PROPERTIES FIXTURES_REQUIRED data_pack TIMEOUT 600)

# Hostile command lines through the real intro: it starts or refuses with its message.
add_test(NAME hardening_hostile_lines
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/with-xvfb.sh 640x480
                 ${CMAKE_CURRENT_SOURCE_DIR}/e2e/hostile_lines.sh $<TARGET_FILE:intro>
                 $<TARGET_FILE:audio_swap_probe>)
set_tests_properties(hardening_hostile_lines PROPERTIES TIMEOUT 300)

if(INTRO_FUZZ)
  include(${CMAKE_CURRENT_LIST_DIR}/fuzz/fuzz.cmake)
endif()
