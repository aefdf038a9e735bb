# End-to-end checks that run the real program: natively, and under Wine for the Windows build.
# Each script prints "N passed, N failed" and exits non-zero when anything failed.
set(e2e_dir ${PROJECT_SOURCE_DIR}/tests/e2e)
if(CMAKE_CROSSCOMPILING)
    set(e2e_runner ${CMAKE_CROSSCOMPILING_EMULATOR})
else()
    set(e2e_runner "")
endif()

add_test(NAME e2e.startup
         COMMAND sh ${e2e_dir}/startup.sh $<TARGET_FILE:tidewell> "${e2e_runner}")
set_tests_properties(e2e.startup PROPERTIES LABELS e2e TIMEOUT 120)
