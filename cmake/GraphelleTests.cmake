# graphelle_add_tests(NAME <area> LIBS <libraries...>)
# One test program per area from every .cpp of the calling folder, each test
# case registered with CTest on its own.
function(graphelle_add_tests)
  cmake_parse_arguments(ARG "" "NAME" "LIBS;ENVIRONMENT" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  set(target graphelle_${ARG_NAME}_tests)
  add_executable(${target} ${sources})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  target_compile_definitions(${target} PRIVATE GRAPHELLE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  # The program's state (recovery copies, versions, reserved names) stays in
  # the build folder, never in the home of whoever runs the tests.
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT
                       "XDG_STATE_HOME=${CMAKE_BINARY_DIR}/test-state;${ARG_ENVIRONMENT}")
endfunction()
