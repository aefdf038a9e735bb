# Compiler settings shared by product, tests, benchmarks and fuzz targets.

add_library(tidewell_warnings INTERFACE)
target_compile_options(tidewell_warnings INTERFACE -Wall -Wextra -Wpedantic -Werror)

# Sanitizers for the native debug build; TIDEWELL_SANITIZE is a list such as "address;undefined".
set(TIDEWELL_SANITIZE "" CACHE STRING "Sanitizers to build with (native builds)")
if(TIDEWELL_SANITIZE)
    list(JOIN TIDEWELL_SANITIZE "," sanitizers)
    add_compile_options(-fsanitize=${sanitizers} -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=${sanitizers})
endif()

if(WIN32)
    add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                            _WIN32_WINNT=0x0A00 WINVER=0x0A00)
endif()
