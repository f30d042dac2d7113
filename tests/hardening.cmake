# Hardening: hostile option lines, music files with lying tags, decoder reasons that
# would print badly; the bad-input matrix of the pictures end to end; the fuzz targets
# (fuzz builds only). The music's bad inputs are in audio.cmake (music_failures.sh).
# Hostile pictures made at test time, shared with the fuzz seeds and the end-to-end
# tests (make_hostile_picture NAME FILE writes one and prints its expected reason).
find_package(ZLIB REQUIRED)
add_library(picture_cases STATIC picture_cases.cpp)
target_link_libraries(picture_cases PUBLIC PkgConfig::STB ZLIB::ZLIB)
add_executable(make_hostile_picture make_hostile_picture.cpp)
target_link_libraries(make_hostile_picture PRIVATE picture_cases)

intro_test(hardening_test hardening_options_test.cpp hardening_decoder_test.cpp
           hardening_loader_test.cpp hardening_pictures_test.cpp assets_test_files.cpp
           LIBS intro_options intro_audio audio_test_mp3 picture_cases PkgConfig::STB)

# Every kind of unusable picture, one at a time and all at once, through the real intro
# under Xvfb and intro-render over the whole show.
add_test(NAME hardening_bad_pictures
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/with-xvfb.sh 640x480
                 ${CMAKE_CURRENT_SOURCE_DIR}/e2e/bad_inputs.sh $<TARGET_FILE:intro>
                 $<TARGET_FILE:intro-render> $<TARGET_FILE:audio_swap_probe>
                 ${CMAKE_BINARY_DIR}/test-data-pack)
set_tests_properties(hardening_bad_pictures PROPERTIES FIXTURES_REQUIRED data_pack TIMEOUT 600)

# Every hostile picture case through intro-render; the exhaustion cases in all 42 slots
# timed and their peak memory bounded, and the intro starting promptly on them. The
# sanitizer build's shadow memory and speed leave memory unchecked and time 4 times longer.
if(INTRO_SANITIZE)
  set(hostile_check_memory 0)
  set(hostile_time_factor 4)
else()
  set(hostile_check_memory 1)
  set(hostile_time_factor 1)
endif()
add_test(NAME hardening_hostile_pictures
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/with-xvfb.sh 640x480
                 ${CMAKE_CURRENT_SOURCE_DIR}/e2e/hostile_pictures.sh $<TARGET_FILE:intro-render>
                 $<TARGET_FILE:make_hostile_picture> ${CMAKE_BINARY_DIR}/test-data-pack
                 $<TARGET_FILE:intro> $<TARGET_FILE:audio_swap_probe>
                 ${hostile_check_memory} ${hostile_time_factor})
set_tests_properties(hardening_hostile_pictures PROPERTIES FIXTURES_REQUIRED data_pack TIMEOUT 600)

# Hostile command lines through the real intro: it starts or refuses with its message.
add_test(NAME hardening_hostile_lines
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/with-xvfb.sh 640x480
                 ${CMAKE_CURRENT_SOURCE_DIR}/e2e/hostile_lines.sh $<TARGET_FILE:intro>
                 $<TARGET_FILE:audio_swap_probe>)
set_tests_properties(hardening_hostile_lines PROPERTIES TIMEOUT 300)

# A short soak: the intro runs 15 s past the end of a 6 s track, keeps presenting frames
# of a show that runs on in silence, and ends on Escape. The 3-minute soak and the valgrind run
# of intro-render are measurements run by hand (tests/soak/).
add_library(soak_swap_counter SHARED soak/swap_counter_probe.cpp)
target_link_libraries(soak_swap_counter PRIVATE ${CMAKE_DL_LIBS})
# AddressSanitizer's quarantine keeps freed frame canvases, so memory grows there by design.
if(INTRO_SANITIZE)
  set(soak_rss_limit_kb 0)
else()
  set(soak_rss_limit_kb 8192)
endif()
add_test(NAME hardening_soak_short
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/with-xvfb.sh 320x256
                 ${CMAKE_CURRENT_SOURCE_DIR}/soak/soak.sh $<TARGET_FILE:intro>
                 $<TARGET_FILE:intro-render> $<TARGET_FILE:soak_swap_counter>
                 ${CMAKE_BINARY_DIR}/test-data-pack 15 ${soak_rss_limit_kb})
set_tests_properties(hardening_soak_short PROPERTIES FIXTURES_REQUIRED data_pack TIMEOUT 180)

if(INTRO_FUZZ)
  include(${CMAKE_CURRENT_LIST_DIR}/fuzz/fuzz.cmake)
endif()
