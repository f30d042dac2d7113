intro_test(timeline_test timeline_test.cpp)
