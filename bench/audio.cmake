# Smoothness of the music clock against wall-clock time (a measurement program, run by hand).
add_executable(audio-clock-jitter audio_clock_jitter.cpp ${PROJECT_SOURCE_DIR}/tests/audio_mp3_maker.cpp)
target_include_directories(audio-clock-jitter PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(audio-clock-jitter PRIVATE intro_audio PkgConfig::LAME)

# The clock against the sound leaving a sound server's sink (run by click_sync.sh).
# PipeWire's own stream interface gives it a second reference on PipeWire.
# The recorders link both libraries; the intro loads them at run time.
pkg_check_modules(BENCH_PULSE REQUIRED IMPORTED_TARGET libpulse)
pkg_check_modules(BENCH_PIPEWIRE REQUIRED IMPORTED_TARGET libpipewire-0.3)
add_executable(audio-click-sync click_sync.cpp click_track.cpp click_timing.cpp
                                click_recorder.cpp pw_click_recorder.cpp
                                ${PROJECT_SOURCE_DIR}/tests/audio_mp3_maker.cpp)
target_include_directories(audio-click-sync PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(audio-click-sync PRIVATE intro_audio PkgConfig::LAME PkgConfig::BENCH_PULSE
                      PkgConfig::BENCH_PIPEWIRE)

# Picture against sound end to end: pixels of the X display against the click track leaving
# the sink (run by av_sync.sh).
find_package(X11 REQUIRED)
add_executable(av-sync-probe av_sync_probe.cpp pixel_events.cpp screen_poller.cpp
                             click_track.cpp click_timing.cpp click_recorder.cpp
                             ${PROJECT_SOURCE_DIR}/tests/audio_mp3_maker.cpp)
target_include_directories(av-sync-probe PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(av-sync-probe PRIVATE intro_audio intro_draw PkgConfig::LAME
                      PkgConfig::BENCH_PULSE X11::X11 Threads::Threads)
