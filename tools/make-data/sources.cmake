# make-data: draws the pictures and synthesizes the music of the default data folder.
pkg_check_modules(QRENCODE REQUIRED IMPORTED_TARGET libqrencode)

# The folder's record of what was written, apart so the tests can reach it.
add_library(make_data_record STATIC
  make-data/pack_record.cpp
)
target_include_directories(make_data_record PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/make-data)
target_link_libraries(make_data_record PUBLIC tool_common)

add_executable(make-data
  make-data/main.cpp
  make-data/picture.cpp
  make-data/pictures_flash.cpp
  make-data/picture_floor.cpp
  make-data/pictures_helmet.cpp
  make-data/picture_rasberry.cpp
  make-data/pictures_radar.cpp
  make-data/picture_qr.cpp
  make-data/synth_dsp.cpp
  make-data/synth_instruments.cpp
  make-data/song_score.cpp
  make-data/song_arrangement.cpp
  make-data/song_mixdown.cpp
)
target_link_libraries(make-data PRIVATE intro_version make_data_record tool_common intro_draw PkgConfig::QRENCODE m)
