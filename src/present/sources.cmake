add_library(intro_present STATIC present/presenter.cpp)
target_include_directories(intro_present PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(intro_present PUBLIC intro_draw OpenGL::GL)
