# make-data: draws the pictures and synthesizes the music of the default data folder.
pkg_check_modules(QRENCODE REQUIRED IMPORTED_TARGET libqrencode)
find_library(MP3LAME_LIBRARY mp3lame REQUIRED)

add_executable(make-data
  ${CMAKE_CURRENT_SOURCE_DIR}/make-data/main.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/make-data/file_output.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/make-data/picture.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/make-data/png_output.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/make-data/pictures_flash.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/make-data/picture_floor.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/make-data/pictures_helmet.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/make-data/picture_rasberry.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/make-data/pictures_radar.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/make-data/picture_qr.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/make-data/synth_dsp.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/make-data/synth_instruments.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/make-data/song_score.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/make-data/song_arrangement.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/make-data/song_mixdown.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/make-data/mp3_encoder.cpp
)
target_link_libraries(make-data PRIVATE tool_png stb PkgConfig::QRENCODE ${MP3LAME_LIBRARY} m)
