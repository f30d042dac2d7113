# The file edge, interrupts, MP3 and PNG encoding and SHA-256 that intro-render and make-data share.
add_library(tool_common STATIC
  common/folders.cpp
  common/interrupt.cpp
  common/mp3_encoder.cpp
  common/pending_file.cpp
  common/png_bytes.cpp
  common/sha256.cpp
)
target_include_directories(tool_common PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/common)
target_link_libraries(tool_common PUBLIC intro_draw PkgConfig::STB PkgConfig::LAME)
