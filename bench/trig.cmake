# The show's sine and cosine against quad precision and the C library (bench-trig).
include(CheckIncludeFileCXX)
check_include_file_cxx(quadmath.h INTRO_HAVE_QUADMATH)
if(INTRO_HAVE_QUADMATH)
  add_executable(bench-trig trig_accuracy.cpp)
  target_link_libraries(bench-trig PRIVATE intro_draw quadmath)
endif()
