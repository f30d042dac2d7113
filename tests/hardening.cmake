# Hardening: hostile option lines, music files with lying tags, decoder reasons that
# would print badly.
intro_test(hardening_test hardening_options_test.cpp hardening_decoder_test.cpp
           hardening_loader_test.cpp assets_test_files.cpp
           LIBS intro_options intro_audio audio_test_mp3)
