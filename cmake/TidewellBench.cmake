# Benchmarks (native only): one executable per bench/*_bench.cpp, each linked with the corpus
# generators (the other bench/*.cpp files) and Google Benchmark for those that use it.
find_package(benchmark REQUIRED)
file(GLOB bench_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/bench/*.cpp)
set(bench_mains ${bench_sources})
list(FILTER bench_mains INCLUDE REGEX "_bench\\.cpp$")
list(FILTER bench_sources EXCLUDE REGEX "_bench\\.cpp$")
add_library(tidewell_bench_support STATIC ${bench_sources})
target_link_libraries(tidewell_bench_support PUBLIC tidewell_core PRIVATE tidewell_warnings)
foreach(source IN LISTS bench_mains)
    get_filename_component(name ${source} NAME_WE)
    add_executable(${name} ${source})
    target_link_libraries(${name} PRIVATE tidewell_bench_support tidewell_warnings
                          benchmark::benchmark)
endforeach()
