# The file edge, interrupts, MP3 and PNG encoding and SHA-256 that intro-render and make-data share.
add_library(tool_common STATIC
  common/folders.cpp
  common/pending_file.cpp
  common/png_bytes.cpp
  common/sha256.cpp
)
target_include_directories(tool_common PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/common)
target_link_libraries(tool_common PUBLIC intro_draw)
if(WIN32)
  # No MP3 encoder for Windows yet; stb's PNG writer is one header, compiled here from a
  # copy made at configure time (the rest of the host's headers stay out of sight).
  find_file(STB_IMAGE_WRITE_HEADER stb/stb_image_write.h PATHS /usr/include
            NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  file(COPY ${STB_IMAGE_WRITE_HEADER} DESTINATION ${CMAKE_CURRENT_BINARY_DIR}/stb-include/stb)
  target_sources(tool_common PRIVATE common/arguments_windows.cpp common/file_calls_windows.cpp
                                     common/interrupt_windows.cpp
                                     common/stb_png_writer.c)
  target_include_directories(tool_common SYSTEM PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/stb-include)
else()
  target_sources(tool_common PRIVATE common/arguments_posix.cpp common/file_calls_posix.cpp
                                     common/interrupt_posix.cpp
                                     common/mp3_encoder.cpp)
  target_link_libraries(tool_common PUBLIC PkgConfig::STB PkgConfig::LAME)
endif()
