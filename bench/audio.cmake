# Smoothness of the music clock against wall-clock time (a measurement program, run by hand).
add_executable(audio-clock-jitter audio_clock_jitter.cpp ${PROJECT_SOURCE_DIR}/tests/audio_mp3_maker.cpp)
target_include_directories(audio-clock-jitter PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(audio-clock-jitter PRIVATE intro_audio mp3lame)
