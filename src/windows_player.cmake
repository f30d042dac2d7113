# ---- Windows player: intro.exe (scripts/build-windows.sh) ----
# Included once libmpg123 for Windows is there (intro_mp3). The window directly on Win32
# and WGL, the music through WASAPI, the same loop, options, presenter and music clock as
# on Linux. A GUI program (WinMain through the C runtime's main), so no console opens with
# it; it joins the console it is started from.
find_package(OpenGL REQUIRED)
include(audio/sources.cmake)
include(present/sources.cmake)

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
