# The executable: tidewell.exe (GUI subsystem, Unicode entry, resources) on Windows, and the
# command-line tidewell elsewhere.

if(WIN32)
    enable_language(RC)
    include(TidewellFonts)

    set(font_resources "")
    set(font_id 101)
    foreach(font IN LISTS TIDEWELL_FONT_FILES)
        string(APPEND font_resources "${font_id} RCDATA \"${font}\"\n")
        math(EXPR font_id "${font_id} + 1")
    endforeach()
    set(TIDEWELL_RESOURCES_DIR ${PROJECT_SOURCE_DIR}/resources)
    configure_file(${PROJECT_SOURCE_DIR}/resources/tidewell.rc.in
                   ${CMAKE_BINARY_DIR}/generated/tidewell.rc @ONLY)
    configure_file(${PROJECT_SOURCE_DIR}/resources/tidewell.manifest.in
                   ${CMAKE_BINARY_DIR}/generated/tidewell.manifest @ONLY)

    add_executable(tidewell WIN32 src/app/main_win.cpp ${CMAKE_BINARY_DIR}/generated/tidewell.rc)
    # windres reads the manifest, the icon and the fonts by name: a change to any of them must
    # build the resources again.
    set_source_files_properties(${CMAKE_BINARY_DIR}/generated/tidewell.rc PROPERTIES OBJECT_DEPENDS
        "${CMAKE_BINARY_DIR}/generated/tidewell.manifest;${TIDEWELL_FONT_FILES}")
    target_link_options(tidewell PRIVATE -municode)
else()
    add_executable(tidewell src/app/main_posix.cpp)
endif()
target_link_libraries(tidewell PRIVATE tidewell_core tidewell_warnings)
