# What Debian ships for Linux but not for mingw, built from source for the
# Windows build: SQLite from its amalgamation (made by scripts/build-windows.sh
# from Debian's source package, so both platforms run the same version) and
# GoogleTest from Debian's copy of its source.
set(CHECKBOOK_SQLITE_SOURCE "" CACHE PATH "Folder holding sqlite3.c and sqlite3.h")
if(NOT EXISTS "${CHECKBOOK_SQLITE_SOURCE}/sqlite3.c")
  message(FATAL_ERROR "CHECKBOOK_SQLITE_SOURCE must name a folder with SQLite's amalgamation "
                      "(bash scripts/build-windows.sh makes one)")
endif()
add_library(sqlite3_amalgamation STATIC ${CHECKBOOK_SQLITE_SOURCE}/sqlite3.c)
target_include_directories(sqlite3_amalgamation SYSTEM PUBLIC ${CHECKBOOK_SQLITE_SOURCE})
# The options of Debian's own build that change what the engine does.
target_compile_definitions(sqlite3_amalgamation PRIVATE
  SQLITE_THREADSAFE=1 SQLITE_SECURE_DELETE SQLITE_ENABLE_MATH_FUNCTIONS SQLITE_LIKE_DOESNT_MATCH_BLOBS
  SQLITE_DEFAULT_SYNCHRONOUS=2 SQLITE_OMIT_LOAD_EXTENSION)
target_compile_options(sqlite3_amalgamation PRIVATE -w)
add_library(SQLite::SQLite3 ALIAS sqlite3_amalgamation)

set(CHECKBOOK_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's source")
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${CHECKBOOK_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
foreach(lib gtest gtest_main gmock gmock_main)
  if(NOT TARGET GTest::${lib})
    add_library(GTest::${lib} ALIAS ${lib})
  endif()
endforeach()
