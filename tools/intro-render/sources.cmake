# intro-render: the show drawn offline. Everything but main() is a library, so the tests
# can reach the parts; nothing here links SDL, GL or audio output.
add_library(intro_render_core STATIC
  ${CMAKE_CURRENT_LIST_DIR}/options.cpp
  ${CMAKE_CURRENT_LIST_DIR}/moments.cpp
  ${CMAKE_CURRENT_LIST_DIR}/progress.cpp
  ${CMAKE_CURRENT_LIST_DIR}/draw_loop.cpp
  ${CMAKE_CURRENT_LIST_DIR}/data_folder_check.cpp
  ${CMAKE_CURRENT_LIST_DIR}/scaled_image.cpp
  ${CMAKE_CURRENT_LIST_DIR}/raw_output.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frame_files.cpp
  ${CMAKE_CURRENT_LIST_DIR}/png_output.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sheet.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sheet_output.cpp
  ${CMAKE_CURRENT_LIST_DIR}/music_track.cpp
  ${CMAKE_CURRENT_LIST_DIR}/video_command.cpp
  ${CMAKE_CURRENT_LIST_DIR}/encoder_process.cpp
  ${CMAKE_CURRENT_LIST_DIR}/video_output.cpp
)
target_include_directories(intro_render_core PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(intro_render_core PUBLIC intro_draw tool_common PRIVATE PkgConfig::MPG123)

add_executable(intro-render ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(intro-render PRIVATE intro_render_core)
