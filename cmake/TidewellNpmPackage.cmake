# tidewell_npm_package(PACKAGE TARBALL SHA256 PROBLEM_VAR): makes sure TARBALL holds the npm
# package PACKAGE ("name@version") with that SHA-256, fetching it with `npm pack` into the tarball's
# folder when it is missing or differs; it stays cached there, so a reconfigure does not download
# it again. PROBLEM_VAR is set to what went wrong, or to "" when the package is there.
function(tidewell_npm_package package tarball sha256 problem_var)
    set(${problem_var} "" PARENT_SCOPE)
    if(EXISTS ${tarball})
        file(SHA256 ${tarball} actual)
        if(actual STREQUAL sha256)
            return()
        endif()
    endif()
    get_filename_component(folder ${tarball} DIRECTORY)
    file(MAKE_DIRECTORY ${folder})
    file(REMOVE ${tarball})
    find_program(NPM_EXECUTABLE npm)
    if(NOT NPM_EXECUTABLE)
        set(${problem_var} "npm is not installed" PARENT_SCOPE)
        return()
    endif()
    execute_process(
        COMMAND ${NPM_EXECUTABLE} pack ${package} --cache ${folder}/npm-cache --silent --no-audit
                --no-fund
        WORKING_DIRECTORY ${folder}
        RESULT_VARIABLE npm_result OUTPUT_QUIET ERROR_VARIABLE npm_error TIMEOUT 300)
    set(actual "")
    if(EXISTS ${tarball})
        file(SHA256 ${tarball} actual)
    endif()
    if(NOT actual STREQUAL sha256)
        set(${problem_var} "npm pack ${package} gave no package with SHA-256 ${sha256} (npm said: ${npm_result} ${npm_error})"
            PARENT_SCOPE)
    endif()
endfunction()
