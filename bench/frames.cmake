add_executable(bench-frames frames_bench.cpp lines_bench.cpp)
target_link_libraries(bench-frames PRIVATE intro_draw benchmark::benchmark benchmark::benchmark_main)
