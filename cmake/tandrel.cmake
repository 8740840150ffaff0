# tandrel_test(name SOURCES... [LIBS libs...] [GUI] [TIMEOUT s] [LOCK resource] [SERIAL filter])
# A GoogleTest executable; in the Windows build its cases run under Wine through
# scripts/wine-run, which gives them the run's own prefix and display.
# SERIAL: the cases that match the GoogleTest filter run alone. An open popup menu closes
# when another test's window takes the activation.
function(tandrel_test name)
  cmake_parse_arguments(T "GUI" "TIMEOUT;LOCK;SERIAL" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES} ${T_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  # LOCK: the tests share something of the prefix's (a registration) and run one at a time.
  set(props TIMEOUT ${T_TIMEOUT})
  if(T_LOCK)
    list(APPEND props RESOURCE_LOCK ${T_LOCK})
  endif()
  if(T_SERIAL)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 TEST_FILTER "-${T_SERIAL}"
      PROPERTIES ${props})
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 TEST_FILTER "${T_SERIAL}"
      PROPERTIES ${props} RUN_SERIAL TRUE)
  else()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 PROPERTIES ${props})
  endif()
endfunction()

# tandrel_fuzz(name source [CORPUS folder] LIBS libs...): a fuzz target. Its seeds (the
# target's tandrel_fuzz_seeds, plus the files of CORPUS when given) are written into
# <build>/fuzz_corpus/<name> whenever it is built, and every run starts from them:
#   TANDREL_FUZZ on:  a libFuzzer target; the test "<name>" runs it TANDREL_FUZZ_RUNS times
#                     over a work folder and the seeds, saving findings in fuzz_findings/<name>;
#   otherwise:        the same entry point runs over the seed corpus as a plain test.
set(TANDREL_FUZZ_RUNS 200000 CACHE STRING "libFuzzer runs per target in the fuzz build's tests")
function(tandrel_fuzz name source)
  cmake_parse_arguments(F "" "CORPUS" "LIBS" ${ARGN})
  if(WIN32)
    return()
  endif()
  set(corpus ${CMAKE_BINARY_DIR}/fuzz_corpus/${name})
  add_executable(${name} ${source} ${CMAKE_SOURCE_DIR}/tests/fuzz_driver.cpp)
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  set(copy_extra "")
  if(F_CORPUS)
    set(copy_extra COMMAND ${CMAKE_COMMAND} -E copy_directory ${F_CORPUS} ${corpus})
  endif()
  add_custom_command(TARGET ${name} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${corpus}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${corpus}
    COMMAND ${name} --write-seeds=${corpus}
    ${copy_extra}
    COMMENT "Seed corpus of ${name}"
    VERBATIM)
  if(TANDREL_FUZZ)
    target_compile_definitions(${name} PRIVATE TANDREL_LIBFUZZER)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set(work ${CMAKE_BINARY_DIR}/fuzz_work/${name})
    set(findings ${CMAKE_BINARY_DIR}/fuzz_findings/${name})
    file(MAKE_DIRECTORY ${work} ${findings})
    # New inputs go to the work folder (the first); the seeds stay as built.
    add_test(NAME ${name} COMMAND ${name} -runs=${TANDREL_FUZZ_RUNS} -artifact_prefix=${findings}/
             -print_final_stats=1 ${work} ${corpus})
    set_tests_properties(${name} PROPERTIES TIMEOUT 3600)
  else()
    add_test(NAME ${name} COMMAND ${name} 20000 ${corpus})
    set_tests_properties(${name} PROPERTIES TIMEOUT 120)
  endif()
endfunction()
