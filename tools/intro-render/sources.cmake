# intro-render: the show drawn offline. Everything but main() is a library, so the tests
# can reach the parts; nothing here links SDL, GL or audio output.
add_library(intro_render_core STATIC
  intro-render/options.cpp
  intro-render/moments.cpp
  intro-render/progress.cpp
  intro-render/draw_loop.cpp
  intro-render/load_pictures.cpp
  intro-render/scaled_image.cpp
  intro-render/raw_output.cpp
  intro-render/frame_files.cpp
  intro-render/png_output.cpp
  intro-render/sheet.cpp
  intro-render/sheet_output.cpp
  intro-render/music_track.cpp
  intro-render/beat_analysis.cpp
  intro-render/sound_levels.cpp
  intro-render/picture_findings.cpp
  intro-render/music_findings.cpp
  intro-render/music_file_findings.cpp
  intro-render/check_report.cpp
  intro-render/video_command.cpp
)
if(WIN32)
  target_sources(intro_render_core PRIVATE intro-render/linux_only_windows.cpp)
else()
  target_sources(intro_render_core PRIVATE intro-render/fit_music.cpp
                 intro-render/encoder_process.cpp intro-render/video_output.cpp)
endif()
target_include_directories(intro_render_core PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/intro-render)
target_link_libraries(intro_render_core PUBLIC intro_draw tool_common PRIVATE intro_mp3)

add_executable(intro-render intro-render/main.cpp)
target_link_libraries(intro-render PRIVATE intro_render_core intro_version)
