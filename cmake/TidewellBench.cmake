# Benchmarks, one executable per bench/*_bench.cpp, linked with Google Benchmark. Helpers in
# bench/ that are not benchmarks themselves (generators) build as plain executables.
find_package(benchmark REQUIRED)
file(GLOB bench_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/bench/*_bench.cpp)
foreach(source IN LISTS bench_sources)
    get_filename_component(name ${source} NAME_WE)
    add_executable(${name} ${source})
    target_link_libraries(${name} PRIVATE tidewell_core tidewell_warnings benchmark::benchmark)
endforeach()
