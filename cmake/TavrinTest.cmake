# Test helpers. GoogleTest is built from Debian's sources with the compiler of
# the preset, so the Windows build gets a Windows GoogleTest.
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(TAVRIN_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest source tree")
add_subdirectory(${TAVRIN_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
foreach(t gtest gmock gtest_main gmock_main)
  if(TARGET ${t})
    target_compile_options(${t} PRIVATE -w)
  endif()
endforeach()

# The test main sets the floating-point control word as start-up does, then
# runs every test of the executable.
add_library(tavrin_test_main STATIC ${CMAKE_SOURCE_DIR}/tests/test_main.cpp)
target_link_libraries(tavrin_test_main PUBLIC gtest gmock tavrin_runtime)

# tavrin_add_test(NAME SOURCES src... LIBRARIES lib... [NATIVE_ONLY])
# One executable is one CTest entry, on Linux and under Wine alike.
# NATIVE_ONLY marks suites that need the Linux platform's test hooks.
function(tavrin_add_test name)
  cmake_parse_arguments(T "NATIVE_ONLY" "TIMEOUT" "SOURCES;LIBRARIES" ${ARGN})
  if(T_NATIVE_ONLY AND WIN32)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBRARIES} tavrin_test_main)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  if(CMAKE_CROSSCOMPILING_EMULATOR AND NOT WIN32)
    # qemu-user cannot execute a foreign binary from inside the program it
    # emulates, so a death test cannot start the test binary again: its child
    # is forked instead. The flag on the command line also gives the forked
    # child the gtest flags after its name that a re-started one would have.
    target_compile_definitions(${name} PRIVATE TAVRIN_DEATH_TEST_STYLE="fast")
    add_test(NAME ${name} COMMAND ${name} --gtest_death_test_style=fast)
  else()
    target_compile_definitions(${name} PRIVATE TAVRIN_DEATH_TEST_STYLE="threadsafe")
    add_test(NAME ${name} COMMAND ${name})
  endif()
  if(EMSCRIPTEN)
    # main runs on a worker of its own, so that the threads a test starts and
    # joins get their workers from node's event loop, which stays free.
    target_link_options(${name} PRIVATE -sPROXY_TO_PTHREAD=1)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
  if(TAVRIN_SANITIZE)
    # The tests and the tool they start share one list of leaks that belong
    # to system libraries.
    set_tests_properties(${name} PROPERTIES ENVIRONMENT
                         "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0")
  endif()
endfunction()
