# Reading the MP3 file, shared by the intro and intro-render: no sound output, no
# platform code. intro_draw holds the regular-file reader.
add_library(intro_mp3 STATIC audio/mp3_decoder.cpp audio/mp3_frames.cpp audio/other_audio.cpp)
target_include_directories(intro_mp3 PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(intro_mp3 PUBLIC PkgConfig::MPG123 PRIVATE intro_draw)
