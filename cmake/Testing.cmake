# GoogleTest: the system package natively; built from Debian's sources when
# cross-compiling, since no MinGW build of it is packaged.
if(CMAKE_CROSSCOMPILING)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

# OpenSSL's libcrypto is the independent reference in tests, never linked
# into the product. Building the tests natively requires it, so that the
# differential suites can never drop out of a run unnoticed. No MinGW build
# of it is packaged: the cross-build says so and leaves them to the native
# build.
if(CMAKE_CROSSCOMPILING)
  set(VELLORA_DIFFERENTIAL_TESTS OFF)
  message(STATUS "Cross-build: the OpenSSL differential suites run in the native build only")
else()
  find_package(OpenSSL REQUIRED COMPONENTS Crypto)
  set(VELLORA_DIFFERENTIAL_TESTS ON)
endif()

# vellora_add_test(NAME [DISPLAY] SOURCES ... LIBS ...)
# One executable per test file group. Natively each case is a ctest entry;
# under the cross-build emulator each executable is one entry, since every
# process start under Wine costs a second. DISPLAY: the test makes real
# windows, which Wine makes only on a display; where xvfb-run exists it gets
# a virtual one and is told so (it then fails instead of skipping).
find_program(XVFB_RUN xvfb-run)
function(vellora_add_test name)
  cmake_parse_arguments(ARG "DISPLAY" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main GTest::gtest)
  if(CMAKE_CROSSCOMPILING AND ARG_DISPLAY AND XVFB_RUN)
    add_test(NAME ${name} COMMAND ${XVFB_RUN} -a ${CMAKE_CROSSCOMPILING_EMULATOR}
      $<TARGET_FILE:${name}>)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT VELLORA_DISPLAY_PROVIDED=1)
  elseif(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name})
  else()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
      PROPERTIES ENVIRONMENT "VELLORA_TEST_DATA=${CMAKE_SOURCE_DIR}/tests/data")
  endif()
endfunction()
