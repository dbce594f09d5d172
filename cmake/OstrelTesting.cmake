find_package(GTest REQUIRED)
include(GoogleTest)

# ostrel_add_test(<name> SOURCES ... [LIBS ...])
#
# A GoogleTest executable whose cases CTest discovers. Tests run with their
# build folder as working directory so they can write scratch files there.
function(ostrel_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE OSTREL_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/data")
  ostrel_set_warnings(${name})
  gtest_discover_tests(${name} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR} DISCOVERY_TIMEOUT 60)
endfunction()
