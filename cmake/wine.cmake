# Every test runs under Wine in a prefix of this build's own (null display
# driver, fonts, UTF-8 locale). A warm wineserver keeps a process start cheap.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(QUILLON_WINE_ARCH win64)
else()
  set(QUILLON_WINE_ARCH win32)
endif()
set(QUILLON_WINE_PREFIX "${CMAKE_BINARY_DIR}/wineprefix")
set(QUILLON_WINE_RUN "${CMAKE_SOURCE_DIR}/tools/wine-run.sh")
set(CMAKE_CROSSCOMPILING_EMULATOR "${QUILLON_WINE_RUN};${QUILLON_WINE_ARCH};${QUILLON_WINE_PREFIX}")

include(GoogleTest)

# Warms the wineserver once; every test requires it.
add_test(NAME wine_warm COMMAND ${QUILLON_WINE_RUN} ${QUILLON_WINE_ARCH} ${QUILLON_WINE_PREFIX} --warm)
set_tests_properties(wine_warm PROPERTIES FIXTURES_SETUP wine)

# The main of the GoogleTest programs.
add_library(qtest_main STATIC ${CMAKE_SOURCE_DIR}/tests/support/test_main.cpp)
target_include_directories(qtest_main PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(qtest_main PUBLIC dep_gtest)

# A GoogleTest executable whose tests ctest lists and runs one by one under Wine.
function(quillon_add_gtest target)
  cmake_parse_arguments(ARG "OWN_MAIN" "" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} dep_gmock dep_gtest)
  if(NOT ARG_OWN_MAIN)
    target_link_libraries(${target} PRIVATE qtest_main)
  endif()
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
    PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 120 ${ARG_PROPERTIES})
endfunction()

# Copies the given DLL and program targets beside a test program, where its
# tests load or start them from; a rebuilt target is copied again.
function(quillon_copy_beside_test test)
  set(_stamps)
  foreach(_target ${ARGN})
    set(_stamp ${CMAKE_CURRENT_BINARY_DIR}/${test}_${_target}.copied)
    add_custom_command(OUTPUT ${_stamp}
      COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${_target}> $<TARGET_FILE_DIR:${test}>/
      COMMAND ${CMAKE_COMMAND} -E touch ${_stamp}
      DEPENDS ${_target} VERBATIM)
    list(APPEND _stamps ${_stamp})
  endforeach()
  add_custom_target(${test}_copies DEPENDS ${_stamps})
  add_dependencies(${test} ${test}_copies)
endfunction()
