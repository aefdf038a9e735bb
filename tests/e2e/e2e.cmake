# End-to-end checks that run the real program: natively, and under Wine for the Windows build.
# Each script prints "N passed, N failed" and exits non-zero when anything failed.
set(e2e_dir ${PROJECT_SOURCE_DIR}/tests/e2e)
set(e2e_runner "")
if(CMAKE_CROSSCOMPILING)
    set(e2e_runner ${CMAKE_CROSSCOMPILING_EMULATOR})
endif()

function(tidewell_e2e name)
    add_test(NAME e2e.${name} COMMAND sh ${e2e_dir}/${name}.sh $<TARGET_FILE:tidewell>
                                      "${e2e_runner}" ${ARGN})
    set_tests_properties(e2e.${name} PROPERTIES LABELS e2e TIMEOUT 180
                         FAIL_REGULAR_EXPRESSION "[1-9][0-9]* failed")
endfunction()

tidewell_e2e(startup)
tidewell_e2e(statusline)
tidewell_e2e(json_export ${PROJECT_SOURCE_DIR}/tests/fixtures)
# Which home scripts/run.sh shows: a shell decision, no program run.
tidewell_e2e(run_home)

# Windows only: instances and windows need a display, so this one brings its own Xvfb and Wine
# prefix and runs alone.
if(WIN32)
    tidewell_e2e(single_instance $<TARGET_FILE:tidewell_probe>)
    set_tests_properties(e2e.single_instance PROPERTIES LABELS "e2e;gui" RUN_SERIAL TRUE)
    # The tray on a Wine desktop with a taskbar, clicked and screenshotted.
    tidewell_e2e(desktop $<TARGET_FILE:tidewell_probe> ${PROJECT_SOURCE_DIR}/tests/fixtures
                 $<TARGET_FILE:tidewell_report_page>)
    set_tests_properties(e2e.desktop PROPERTIES LABELS "e2e;gui" RUN_SERIAL TRUE)
    # The panel clicked through, its pages and sizes screenshotted; the same prefix, so serial.
    tidewell_e2e(panel $<TARGET_FILE:tidewell_probe> ${PROJECT_SOURCE_DIR}/tests/fixtures
                 $<TARGET_FILE:tidewell_tests>)
    set_tests_properties(e2e.panel PROPERTIES LABELS "e2e;gui" RUN_SERIAL TRUE TIMEOUT 300)
    # The panel from the keyboard, and what a screen reader hears.
    tidewell_e2e(keyboard $<TARGET_FILE:tidewell_probe> ${PROJECT_SOURCE_DIR}/tests/fixtures)
    set_tests_properties(e2e.keyboard PROPERTIES LABELS "e2e;gui" RUN_SERIAL TRUE)
    # The settings page on laptop screens at 96, 120 and 144 DPI and every size: inside the work
    # area, scrolled by the wheel and the keyboard to its last button.
    tidewell_e2e(fit $<TARGET_FILE:tidewell_probe> ${PROJECT_SOURCE_DIR}/tests/fixtures)
    set_tests_properties(e2e.fit PROPERTIES LABELS "e2e;gui" RUN_SERIAL TRUE TIMEOUT 300)
    # Quits during scans of a large home, the UI's answers meanwhile, autostart left as the user
    # set it.
    tidewell_e2e(lifetime $<TARGET_FILE:tidewell_probe>)
    set_tests_properties(e2e.lifetime PROPERTIES LABELS "e2e;gui" RUN_SERIAL TRUE TIMEOUT 900)
    # The usage-service client over WinHTTP and TLS against a local mock.
    set(TIDEWELL_MOCK_PORT 47443 CACHE STRING "Port of the local usage-service mock in tests")
    tidewell_e2e(usage_service $<TARGET_FILE:tidewell_tests> $<TARGET_FILE:tidewell_addroot>
                 ${TIDEWELL_MOCK_PORT})
    # Two logins, each with its own token, reply, api cache and 429 back-off.
    tidewell_e2e(login_limits $<TARGET_FILE:tidewell_tests> $<TARGET_FILE:tidewell_addroot>
                 ${TIDEWELL_MOCK_PORT})
    set_tests_properties(e2e.login_limits PROPERTIES RUN_SERIAL TRUE)
    # Today's reply through the real program, on a Wine desktop: the rows, the mark, the panel.
    tidewell_e2e(limits $<TARGET_FILE:tidewell_probe> ${PROJECT_SOURCE_DIR}/tests/fixtures
                 $<TARGET_FILE:tidewell_addroot> ${TIDEWELL_MOCK_PORT})
    set_tests_properties(e2e.limits PROPERTIES LABELS "e2e;gui" RUN_SERIAL TRUE)
    # Every place logs come from: WSL from a registry fixture and stand-in folders, the desktop
    # app's agent sessions, the Sources section, the report's footer and the export.
    tidewell_e2e(sources $<TARGET_FILE:tidewell_probe> ${PROJECT_SOURCE_DIR}/tests/fixtures)
    set_tests_properties(e2e.sources PROPERTIES LABELS "e2e;gui" RUN_SERIAL TRUE)
    # Two accounts of Claude Code: each with its own live figures, shown apart.
    tidewell_e2e(accounts $<TARGET_FILE:tidewell_probe> ${PROJECT_SOURCE_DIR}/tests/fixtures)
    set_tests_properties(e2e.accounts PROPERTIES LABELS "e2e;gui" RUN_SERIAL TRUE)
    # The usage ledger: backfilled from 40 days of logs, kept when the old logs go, shown in the
    # report's chart and the CSV, rebuilt when damaged.
    tidewell_e2e(history $<TARGET_FILE:tidewell_probe>)
    set_tests_properties(e2e.history PROPERTIES LABELS "e2e;gui" RUN_SERIAL TRUE)
    # Light, dark and high contrast: the panel, the icon, a live switch, the report's schemes.
    tidewell_e2e(themes $<TARGET_FILE:tidewell_probe> ${PROJECT_SOURCE_DIR}/tests/fixtures
                 $<TARGET_FILE:tidewell_report_page> $<TARGET_FILE:tidewell_panel_shot>)
    set_tests_properties(e2e.themes PROPERTIES LABELS "e2e;gui" RUN_SERIAL TRUE)
    # The release archive, packed from this build.
    tidewell_e2e(package ${PROJECT_SOURCE_DIR} ${CMAKE_BINARY_DIR})
endif()
