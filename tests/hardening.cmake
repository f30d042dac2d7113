# Hardening: hostile option lines, music files with lying tags, decoder reasons that
# would print badly; the bad-input matrix end to end; the fuzz targets (fuzz builds only).
intro_test(hardening_test hardening_options_test.cpp hardening_decoder_test.cpp
           hardening_loader_test.cpp assets_test_files.cpp
           LIBS intro_options intro_audio audio_test_mp3)

if(INTRO_FUZZ)
  include(${CMAKE_CURRENT_LIST_DIR}/fuzz/fuzz.cmake)
endif()
