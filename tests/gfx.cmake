intro_test(gfx_test gfx_text_test.cpp gfx_lines_test.cpp gfx_lines_differential_test.cpp)
if(INTRO_SANITIZE)
  target_compile_definitions(gfx_test PRIVATE INTRO_SANITIZED_BUILD)
endif()
