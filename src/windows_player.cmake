# ---- Windows player: intro.exe (scripts/build-windows.sh) ----
# Included once libmpg123 for Windows is there (intro_mp3). The window directly on Win32
# and WGL, the music through WASAPI, the same loop, options, presenter and music clock as
# on Linux. A GUI program (WinMain through the C runtime's main), so no console opens with
# it; it joins the console it is started from.
find_package(OpenGL REQUIRED)
find_package(Threads REQUIRED)

add_library(intro_present STATIC present/presenter.cpp)
target_include_directories(intro_present PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(intro_present PUBLIC intro_draw OpenGL::GL)

add_library(intro_audio STATIC
  audio/av_offset.cpp
  audio/music.cpp
  audio/music_clock.cpp
  audio/music_output.cpp
  audio/output_choice.cpp
  audio/silent_output.cpp
  audio/stream.cpp
  audio/wasapi_output.cpp)
target_include_directories(intro_audio PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(intro_audio PUBLIC intro_mp3 Threads::Threads ole32)

add_executable(intro WIN32
  app/main.cpp
  app/run_demo.cpp
  app/options.cpp
  app/frame_pacer.cpp
  app/frame_sleep_windows.cpp
  app/quit_signals_windows.cpp
  app/render_frame.cpp
  app/window_win32.cpp)
target_include_directories(intro PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(intro PRIVATE intro_version intro_draw intro_present intro_audio gdi32 user32)
