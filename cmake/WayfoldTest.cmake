# GoogleTest: Debian's packaged library natively; built from Debian's sources when
# cross-compiling, so that the same tests also run as Windows programs.
if(CMAKE_CROSSCOMPILING)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set(WAYFOLD_GTEST_MAIN GTest::gtest_main)
  if(NOT TARGET GTest::gtest_main)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
else()
  find_package(GTest REQUIRED)
  set(WAYFOLD_GTEST_MAIN GTest::gtest_main)
endif()

# wayfold_add_test(NAME source... [LIBRARIES lib...]): one test program, one CTest test.
function(wayfold_add_test name)
  cmake_parse_arguments(ARG "" "" "LIBRARIES" ${ARGN})
  add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE wayfold_core ${ARG_LIBRARIES} ${WAYFOLD_GTEST_MAIN})
  wayfold_warnings(${name})
  add_test(NAME ${name} COMMAND ${name})
endfunction()
