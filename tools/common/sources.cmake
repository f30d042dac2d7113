# Pieces the tools share.
add_library(tool_png STATIC ${CMAKE_CURRENT_LIST_DIR}/png_bytes.cpp)
target_include_directories(tool_png PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(tool_png PUBLIC stb)
