# Music stream and clock: libmpg123 decoding, output through the sound server (PipeWire's
# own interface or libpulse) or SDL, the heard-position clock.
find_package(Threads REQUIRED)
pkg_check_modules(PULSE REQUIRED IMPORTED_TARGET libpulse)
pkg_check_modules(PIPEWIRE REQUIRED IMPORTED_TARGET libpipewire-0.3)
add_library(intro_audio STATIC
  audio/music.cpp
  audio/music_clock.cpp
  audio/music_output.cpp
  audio/mp3_decoder.cpp
  audio/output_choice.cpp
  audio/pipewire_output.cpp
  audio/pulse_output.cpp)
target_include_directories(intro_audio PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(intro_audio PUBLIC PkgConfig::SDL2 PkgConfig::MPG123 PkgConfig::PULSE
                      PkgConfig::PIPEWIRE Threads::Threads PRIVATE intro_draw)  # intro_draw: the file reader
