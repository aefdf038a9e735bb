# Fetches the Geist fonts from the npm registry at a pinned version, checks the package by SHA-256
# and extracts the four faces the program embeds. The package stays cached in the build tree, so a
# reconfigure does not download it again. Sets TIDEWELL_FONT_FILES (Regular, Medium, SemiBold, Bold)
# or leaves it empty when the fonts cannot be had.

set(GEIST_VERSION 1.7.2)
set(GEIST_SHA256 88cbfaca51646078f3172802643691bb8fe2df15ca4c455b1b101e49b7d469a6)
set(GEIST_FACES Regular Medium SemiBold Bold)

include(TidewellNpmPackage)

set(fonts_dir ${CMAKE_BINARY_DIR}/fonts)
set(geist_tgz ${fonts_dir}/geist-${GEIST_VERSION}.tgz)
set(TIDEWELL_FONT_FILES "")
tidewell_npm_package(geist@${GEIST_VERSION} ${geist_tgz} ${GEIST_SHA256} fonts_problem)
set(have_package FALSE)
if(NOT fonts_problem)
    set(have_package TRUE)
endif()

if(have_package)
    set(faces_dir ${fonts_dir}/package/dist/fonts/geist-sans)
    set(wanted package/LICENSE.txt)  # the fonts' licence travels with the release
    foreach(face IN LISTS GEIST_FACES)
        list(APPEND wanted package/dist/fonts/geist-sans/Geist-${face}.ttf)
        list(APPEND TIDEWELL_FONT_FILES ${faces_dir}/Geist-${face}.ttf)
    endforeach()
    file(ARCHIVE_EXTRACT INPUT ${geist_tgz} DESTINATION ${fonts_dir} PATTERNS ${wanted})
    foreach(font IN LISTS TIDEWELL_FONT_FILES)
        if(NOT EXISTS ${font})
            set(fonts_problem "the geist package has no ${font}")
            set(TIDEWELL_FONT_FILES "")
        endif()
    endforeach()
endif()

if(fonts_problem)
    if(TIDEWELL_REQUIRE_FONTS)
        message(FATAL_ERROR "Tidewell embeds the Geist fonts and could not get them: "
                            "${fonts_problem}. Check that the npm registry can be reached.")
    endif()
    message(WARNING "Building without the embedded Geist fonts: ${fonts_problem}")
endif()
