# tandrel_test(name SOURCES... [LIBS libs...] [GUI] [TIMEOUT s])
# A GoogleTest executable; in the Windows build its cases run under Wine through
# scripts/wine-run, which gives them the run's own prefix and display.
function(tandrel_test name)
  cmake_parse_arguments(T "GUI" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES} ${T_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT ${T_TIMEOUT})
endfunction()

# tandrel_fuzz(name source LIBS libs...): a libFuzzer target when TANDREL_FUZZ is on;
# otherwise the same entry point runs over its seed corpus as a plain test.
function(tandrel_fuzz name source)
  cmake_parse_arguments(F "" "CORPUS" "LIBS" ${ARGN})
  if(WIN32)
    return()
  endif()
  if(TANDREL_FUZZ)
    add_executable(${name} ${source})
    target_link_libraries(${name} PRIVATE ${F_LIBS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  else()
    add_executable(${name} ${source} ${CMAKE_SOURCE_DIR}/tests/fuzz_driver.cpp)
    target_link_libraries(${name} PRIVATE ${F_LIBS})
    add_test(NAME ${name} COMMAND ${name} 20000)
    set_tests_properties(${name} PROPERTIES TIMEOUT 120)
  endif()
endfunction()
