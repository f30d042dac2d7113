# make-data: draws the pictures and synthesizes the music of the default data folder.
pkg_check_modules(QRENCODE REQUIRED IMPORTED_TARGET libqrencode)

# The folder's record of what was written, apart so the tests can reach it.
add_library(make_data_record STATIC
  ${CMAKE_CURRENT_LIST_DIR}/pack_record.cpp
)
target_include_directories(make_data_record PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(make_data_record PUBLIC tool_common)

add_executable(make-data
  ${CMAKE_CURRENT_LIST_DIR}/main.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pictures_flash.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture_floor.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pictures_helmet.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture_rasberry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pictures_radar.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture_qr.cpp
  ${CMAKE_CURRENT_LIST_DIR}/synth_dsp.cpp
  ${CMAKE_CURRENT_LIST_DIR}/synth_instruments.cpp
  ${CMAKE_CURRENT_LIST_DIR}/song_score.cpp
  ${CMAKE_CURRENT_LIST_DIR}/song_arrangement.cpp
  ${CMAKE_CURRENT_LIST_DIR}/song_mixdown.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mp3_encoder.cpp
)
target_link_libraries(make-data PRIVATE make_data_record tool_common intro_draw PkgConfig::QRENCODE PkgConfig::LAME m)
