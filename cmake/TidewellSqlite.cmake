# SQLite, which keeps the usage ledger, is compiled in from its amalgamation (sqlite3.c and
# sqlite3.h), taken from the better-sqlite3 package of the npm registry at a pinned version,
# checked by SHA-256 and cached in the build tree like the fonts and the price list. The ledger
# is not optional: without the package the configuration stops.

set(BETTER_SQLITE3_VERSION 12.11.1)  # ships SQLite 3.53.2 in deps/sqlite3/
set(BETTER_SQLITE3_SHA256 ebf0ed75a7a59dbcb3b24bbd014ef49d9f15bc328e4adcbf516f2a8fadfa2835)

include(TidewellNpmPackage)

set(sqlite_dir ${CMAKE_BINARY_DIR}/sqlite)
set(sqlite_tgz ${sqlite_dir}/better-sqlite3-${BETTER_SQLITE3_VERSION}.tgz)
set(sqlite_source_dir ${sqlite_dir}/package/deps/sqlite3)
tidewell_npm_package(better-sqlite3@${BETTER_SQLITE3_VERSION} ${sqlite_tgz}
                     ${BETTER_SQLITE3_SHA256} sqlite_problem)
if(NOT sqlite_problem)
    file(ARCHIVE_EXTRACT INPUT ${sqlite_tgz} DESTINATION ${sqlite_dir}
         PATTERNS package/deps/sqlite3/sqlite3.c package/deps/sqlite3/sqlite3.h)
    if(NOT EXISTS ${sqlite_source_dir}/sqlite3.c OR NOT EXISTS ${sqlite_source_dir}/sqlite3.h)
        set(sqlite_problem "the better-sqlite3 package has no deps/sqlite3/sqlite3.c and sqlite3.h")
    endif()
endif()
if(sqlite_problem)
    message(FATAL_ERROR "Tidewell keeps its usage ledger with SQLite, compiled from the "
                        "better-sqlite3 ${BETTER_SQLITE3_VERSION} package of the npm registry, "
                        "and could not get it: ${sqlite_problem}. Install npm "
                        "(scripts/install-deps.sh) and check that the registry can be reached.")
endif()

# A static C library, in every build: no DLL beside the program and no system copy.
add_library(tidewell_sqlite STATIC ${sqlite_source_dir}/sqlite3.c)
target_include_directories(tidewell_sqlite SYSTEM PUBLIC ${sqlite_source_dir})
target_compile_definitions(tidewell_sqlite PRIVATE
    # Serialized: a connection used from a second thread by mistake waits instead of corrupting;
    # the cost, a mutex per call, is nothing at a handful of statements a minute.
    SQLITE_THREADSAFE=1
    SQLITE_DQS=0                        # "text" is an identifier, never a string
    SQLITE_OMIT_LOAD_EXTENSION          # no extensions are loaded (and no dlopen on POSIX)
    SQLITE_OMIT_DEPRECATED
    SQLITE_OMIT_SHARED_CACHE
    SQLITE_DEFAULT_MEMSTATUS=0          # no global counters behind every allocation
    SQLITE_DEFAULT_WAL_SYNCHRONOUS=1    # WAL with NORMAL: a crash of the program loses nothing
    SQLITE_LIKE_DOESNT_MATCH_BLOBS)
# The amalgamation is third-party code: the project's warnings are not applied to it, and the
# compiler's own are silenced for this one file.
target_compile_options(tidewell_sqlite PRIVATE -w)
if(NOT WIN32)
    find_package(Threads REQUIRED)
    target_link_libraries(tidewell_sqlite PUBLIC Threads::Threads m)
endif()
