# Music stream and clock: libmpg123 decoding, the heard-position clock, and the outputs of
# the platform: on Linux the sound server (PipeWire's own interface or libpulse, both
# loaded at run time) or SDL; on Windows WASAPI. The silent clock everywhere.
find_package(Threads REQUIRED)
include(audio/mp3.cmake)

add_library(intro_audio STATIC
  audio/av_offset.cpp
  audio/music.cpp
  audio/music_clock.cpp
  audio/music_output.cpp
  audio/output_choice.cpp
  audio/silent_output.cpp
  audio/stream.cpp)
target_include_directories(intro_audio PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(intro_audio PUBLIC intro_mp3 Threads::Threads)
if(WIN32)
  target_sources(intro_audio PRIVATE audio/wasapi_output.cpp)
  target_link_libraries(intro_audio PUBLIC ole32)
else()
  # Their headers only: the outputs load libpulse and libpipewire themselves when they open.
  pkg_check_modules(PULSE REQUIRED libpulse)
  pkg_check_modules(PIPEWIRE REQUIRED libpipewire-0.3)
  target_sources(intro_audio PRIVATE audio/pipewire_output.cpp audio/pulse_output.cpp
                                     audio/sdl_output.cpp audio/shared_library.cpp)
  target_include_directories(intro_audio SYSTEM PRIVATE ${PULSE_INCLUDE_DIRS}
                                                        ${PIPEWIRE_INCLUDE_DIRS})
  target_compile_options(intro_audio PRIVATE ${PULSE_CFLAGS_OTHER} ${PIPEWIRE_CFLAGS_OTHER})
  target_link_libraries(intro_audio PUBLIC PkgConfig::SDL2 ${CMAKE_DL_LIBS})
endif()
