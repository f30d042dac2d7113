# The file edge, interrupts, PNG encoding and SHA-256 that intro-render and make-data share.
add_library(tool_common STATIC
  ${CMAKE_CURRENT_LIST_DIR}/folders.cpp
  ${CMAKE_CURRENT_LIST_DIR}/interrupt.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pending_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/png_bytes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/printable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sha256.cpp
)
target_include_directories(tool_common PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(tool_common PUBLIC PkgConfig::STB)
