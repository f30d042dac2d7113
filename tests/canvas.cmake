intro_test(canvas_test canvas_test.cpp)
