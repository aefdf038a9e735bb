# One test executable per build from every tests/<module>/*.cpp (same suffix rule as src/);
# the same portable tests run natively and, in the Windows build, under Wine through the
# emulator wrapper. End-to-end scripts in tests/e2e/ are registered by tests/e2e/e2e.cmake.

if(CMAKE_CROSSCOMPILING)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
else()
    find_package(GTest REQUIRED)
endif()

file(GLOB_RECURSE test_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/*.cpp)
list(FILTER test_sources EXCLUDE REGEX "/tests/(e2e|fixtures|tools)/")
tidewell_for_this_platform(test_sources ${test_sources})

add_executable(tidewell_tests ${test_sources})
target_include_directories(tidewell_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests ${TIDEWELL_GENERATED_DIR})
# tidewell_sqlite: the ledger's tests hold locks and read counters through a connection of their own.
target_link_libraries(tidewell_tests PRIVATE tidewell_core tidewell_sqlite tidewell_warnings GTest::gtest_main GTest::gmock)
add_dependencies(tidewell_tests tidewell)

# Facts about this build that tests check against.
list(JOIN TIDEWELL_FONT_FILES "|" font_files)
target_compile_definitions(tidewell_tests PRIVATE
    TIDEWELL_FONT_FILES="${font_files}"
    TIDEWELL_EXECUTABLE="$<TARGET_FILE:tidewell>"
    TIDEWELL_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    TIDEWELL_VERSION="${PROJECT_VERSION}")

include(GoogleTest)
gtest_discover_tests(tidewell_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                     PROPERTIES TIMEOUT 60)

if(WIN32)
    add_executable(tidewell_probe ${PROJECT_SOURCE_DIR}/tests/tools/probe_win.cpp)
    target_link_libraries(tidewell_probe PRIVATE tidewell_warnings user32 oleacc oleaut32 ole32 uuid)
    add_executable(tidewell_addroot ${PROJECT_SOURCE_DIR}/tests/tools/addroot_win.cpp)
    target_link_libraries(tidewell_addroot PRIVATE tidewell_warnings crypt32)
    add_executable(tidewell_report_page ${PROJECT_SOURCE_DIR}/tests/tools/report_page_win.cpp)
    target_link_libraries(tidewell_report_page PRIVATE tidewell_core tidewell_warnings)
    # Writer processes, some killed mid-write, against a reader of the same limit cache.
    add_executable(tidewell_ini_stress ${PROJECT_SOURCE_DIR}/tests/tools/ini_stress_win.cpp)
    target_link_libraries(tidewell_ini_stress PRIVATE tidewell_core tidewell_warnings)
    target_link_options(tidewell_ini_stress PRIVATE -municode)
    add_test(NAME ini_stress COMMAND tidewell_ini_stress 20)
    set_tests_properties(ini_stress PROPERTIES TIMEOUT 120 FAIL_REGULAR_EXPRESSION "[1-9][0-9]* failed")
    # Not a test: times one full panel repaint (run it under Wine by hand).
    add_executable(tidewell_paint_bench ${PROJECT_SOURCE_DIR}/tests/tools/paint_bench_win.cpp)
    target_link_libraries(tidewell_paint_bench PRIVATE tidewell_core tidewell_warnings)
    # Not a test: the panel with made-up figures, for screenshots (run it under Wine by hand).
    add_executable(tidewell_panel_shot ${PROJECT_SOURCE_DIR}/tests/tools/panel_shot_win.cpp)
    target_link_libraries(tidewell_panel_shot PRIVATE tidewell_core tidewell_warnings)
endif()

include(${PROJECT_SOURCE_DIR}/tests/e2e/e2e.cmake)

# The include order of src/ (app -> views -> display -> ... -> platform), checked once.
if(NOT CMAKE_CROSSCOMPILING)
    find_package(Python3 COMPONENTS Interpreter REQUIRED)
    add_test(NAME include_order
             COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/scripts/check_includes.py ${PROJECT_SOURCE_DIR})
    set_tests_properties(include_order PROPERTIES FAIL_REGULAR_EXPRESSION "[1-9][0-9]* faults")
endif()

# The price table script sorts each model's periods by date, whatever the list's order.
find_program(NODE_EXECUTABLE NAMES node nodejs)
if(NOT CMAKE_CROSSCOMPILING AND NODE_EXECUTABLE)
    add_test(NAME price_table_order
             COMMAND ${NODE_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tests/claude_logs/price_table_order.js
                     ${PROJECT_SOURCE_DIR}/scripts/make_price_table.js)
endif()
