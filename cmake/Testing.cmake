# GoogleTest is built from the sources the Debian package installs, so the same code serves the
# native, sanitizer and mingw-w64 builds.
enable_testing()

set(GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

if(CMAKE_CROSSCOMPILING)
  # Wine starts slowly: one test process per binary, and a throw-away prefix made once.
  set(WAYMARKS_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")
  add_test(NAME wine_prefix COMMAND ${CMAKE_SOURCE_DIR}/tools/wine-run.sh --init)
  set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine
    ENVIRONMENT "WINEPREFIX=${WAYMARKS_WINEPREFIX};WINEDEBUG=-all")
endif()

# waymarks_add_test(name SOURCES ... LIBS ...): one GoogleTest binary, one ctest entry.
function(waymarks_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} gtest gtest_main)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  if(CMAKE_CROSSCOMPILING)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine
      ENVIRONMENT "WINEPREFIX=${WAYMARKS_WINEPREFIX};WINEDEBUG=-all")
  endif()
endfunction()
