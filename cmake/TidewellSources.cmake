# The portable core and the OS seam build into one static library that the program, the tests,
# the benchmarks and the fuzz targets all link. A module is a folder under src/: new files are
# picked up without touching this file. Files named *_win.cpp build only for Windows,
# *_posix.cpp only elsewhere; *_x86_64.cpp only for x86-64, *_generic.cpp only for others. The entry points (src/app/main_*.cpp) belong to the program.

function(tidewell_for_this_platform out)
    set(files ${ARGN})
    if(WIN32)
        list(FILTER files EXCLUDE REGEX "_posix\\.cpp$")
    else()
        list(FILTER files EXCLUDE REGEX "_win\\.cpp$")
    endif()
    # Processor-specific code: *_x86_64.cpp for x86-64, its *_generic.cpp counterpart elsewhere.
    if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$")
        list(FILTER files EXCLUDE REGEX "_generic\\.cpp$")
    else()
        list(FILTER files EXCLUDE REGEX "_x86_64\\.cpp$")
    endif()
    set(${out} ${files} PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE core_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/*.cpp)
list(FILTER core_sources EXCLUDE REGEX "/src/app/main_[^/]*\\.cpp$")
tidewell_for_this_platform(core_sources ${core_sources})

include(TidewellPrices)     # the model price table, generated from the price list
include(TidewellSqlite)     # SQLite for the usage ledger, compiled in

add_library(tidewell_core STATIC ${core_sources})
target_include_directories(tidewell_core PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_include_directories(tidewell_core PRIVATE ${TIDEWELL_GENERATED_DIR})
target_link_libraries(tidewell_core PRIVATE tidewell_warnings tidewell_sqlite)
if(WIN32)
    target_link_libraries(tidewell_core PUBLIC user32 gdi32 shell32 dwmapi advapi32 winhttp kernel32
                                               oleacc oleaut32 ole32 uuid)
endif()

# Where the usage service lives. The test presets point these at a local mock.
set(TIDEWELL_API_HOST "api.anthropic.com" CACHE STRING "Host of the usage service")
set(TIDEWELL_API_PORT "443" CACHE STRING "HTTPS port of the usage service")
set_source_files_properties(${PROJECT_SOURCE_DIR}/src/limits/usage_client.cpp PROPERTIES
    COMPILE_DEFINITIONS "TIDEWELL_API_HOST=L\"${TIDEWELL_API_HOST}\";TIDEWELL_API_PORT=${TIDEWELL_API_PORT}")

# Test builds read WSL's folders from a stand-in folder that the tests name (there is no WSL under
# Wine); the real program never does.
option(TIDEWELL_WSL_STANDIN "Read WSL from the folder TIDEWELL_WSL_STANDIN names" OFF)
if(TIDEWELL_WSL_STANDIN)
    set_source_files_properties(${PROJECT_SOURCE_DIR}/src/platform/wsl_system_win.cpp PROPERTIES
        COMPILE_DEFINITIONS "TIDEWELL_WSL_STANDIN=1")
endif()

# The page that the tray menu's "Tidewell website" opens.
set(TIDEWELL_WEBSITE "https://github.com/tidewell/tidewell" CACHE STRING "The product's web page")
set_source_files_properties(${PROJECT_SOURCE_DIR}/src/app/desktop_app_win.cpp PROPERTIES
    COMPILE_DEFINITIONS "TIDEWELL_WEBSITE=L\"${TIDEWELL_WEBSITE}\"")

# The version comes from the project line alone: --version, the version resource, the manifest
# and the release archive's name all take it from here.
set_source_files_properties(${PROJECT_SOURCE_DIR}/src/app/run_mode.cpp PROPERTIES
    COMPILE_DEFINITIONS "TIDEWELL_VERSION=\"${PROJECT_VERSION}\"")
