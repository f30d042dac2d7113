add_executable(assets_bench assets_bench.cpp)
target_link_libraries(assets_bench PRIVATE intro_draw stb benchmark::benchmark benchmark::benchmark_main)
