# MP3s made at test time with libmp3lame.
add_library(audio_test_mp3 STATIC audio_mp3_maker.cpp)
target_link_libraries(audio_test_mp3 PUBLIC PkgConfig::LAME)

intro_test(audio_clock_test audio_clock_test.cpp audio_clock_latency_test.cpp LIBS intro_audio)
intro_test(audio_output_choice_test audio_output_choice_test.cpp LIBS intro_audio)
intro_test(audio_av_offset_test audio_av_offset_test.cpp LIBS intro_audio)
intro_test(audio_decoder_test audio_decoder_test.cpp audio_resync_test.cpp LIBS intro_mp3 audio_test_mp3 PkgConfig::STB)
intro_test(audio_music_test audio_music_test.cpp LIBS intro_audio audio_test_mp3)

# End to end through the real intro: music it cannot play ends start-up with the one
# message and status 1 before any frame is presented; a good track plays, with or without
# an audio device.
add_library(audio_swap_probe SHARED audio_swap_probe.cpp)
target_link_libraries(audio_swap_probe PRIVATE ${CMAKE_DL_LIBS})
add_test(NAME audio_music_failures
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/music_failures.sh $<TARGET_FILE:intro>
                 $<TARGET_FILE:audio_swap_probe>)
set_tests_properties(audio_music_failures PROPERTIES TIMEOUT 360)

# The intro on a private PulseAudio null sink under Xvfb: the server is chosen and hears the
# music; INTRO_AUDIO and the fallbacks behave as documented.
add_test(NAME audio_pulse_e2e COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/audio_pulse.sh $<TARGET_FILE:intro>)
set_tests_properties(audio_pulse_e2e PROPERTIES TIMEOUT 120)

# The intro where PipeWire runs (private daemons, a null sink, Xvfb): PipeWire's own stream
# is chosen and heard; losing the daemon, INTRO_AUDIO=pipewire and libpipewire or libpulse
# missing (hidden from dlopen by a preloaded library) behave as documented.
add_library(hide_library SHARED hide_library.cpp)
target_link_libraries(hide_library PRIVATE ${CMAKE_DL_LIBS})
add_test(NAME audio_pipewire_e2e COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/audio_pipewire.sh
                                         $<TARGET_FILE:intro> $<TARGET_FILE:hide_library>)
set_tests_properties(audio_pipewire_e2e PROPERTIES TIMEOUT 120)
