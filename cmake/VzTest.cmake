# vz_test(NAME name SOURCES a_test.cpp ... LIBS lib ...)
# Builds one GoogleTest executable and registers it with CTest. Tests run in
# the build folder; each test makes its own temporary folders.
function(vz_test)
  if(NOT VZ_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT 600)
endfunction()
