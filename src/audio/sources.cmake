# Music stream and clock: libmpg123 decoding, SDL output, the heard-position clock.
find_package(Threads REQUIRED)
add_library(intro_audio STATIC
  audio/music.cpp
  audio/music_clock.cpp
  audio/music_file.cpp
  audio/music_output.cpp
  audio/mp3_decoder.cpp)
target_include_directories(intro_audio PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(intro_audio PUBLIC PkgConfig::SDL2 PkgConfig::MPG123 Threads::Threads)
