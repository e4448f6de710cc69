# Helpers shared by every subsystem: each subsystem is one library whose sources are
# the .cpp files of its folders, so adding a file needs no edit here.

# The project's warnings; QZ_WERROR (on in CI and the test presets) makes them errors. A
# newcomer's first build (the release preset) keeps them warnings, so that a newer compiler
# with new warnings still builds the program.
function(qz_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                                           -Wimplicit-fallthrough $<$<BOOL:${QZ_WERROR}>:-Werror>)
endfunction()

# Sources of the folders DIRS (that folder only) and TREES (with their subfolders),
# leaving out the subtrees EXCLUDE, into the variable named by `out`.
function(qz_collect out pattern)
  cmake_parse_arguments(ARG "" "" "DIRS;TREES;EXCLUDE" ${ARGN})
  set(sources)
  foreach(dir IN LISTS ARG_DIRS)
    file(GLOB found CONFIGURE_DEPENDS ${dir}/${pattern})
    list(APPEND sources ${found})
  endforeach()
  foreach(dir IN LISTS ARG_TREES)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${dir}/${pattern})
    list(APPEND sources ${found})
  endforeach()
  foreach(dir IN LISTS ARG_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "^${dir}/")
  endforeach()
  set(${out} ${sources} PARENT_SCOPE)
endfunction()

# qz_library(<name> <LINKED|SHARED|STATIC> [DIRS <dir>...] [TREES <dir>...] [EXCLUDE <dir>...]
#            [LIBS <lib>...]); folders relative to the project root.
# LINKED: a part of the program, linked into it as an archive when QZ_LINK_STATIC is on (the
# release build: the loader then binds no symbol of ours at start), else a shared library (the
# test builds, whose twenty-odd programs then share one copy). SHARED: always shared, for state
# that must be one per process also for the libraries the program loads with dlopen.
function(qz_library name kind)
  cmake_parse_arguments(ARG "" "" "DIRS;TREES;EXCLUDE;LIBS" ${ARGN})
  if(kind STREQUAL "LINKED")
    set(kind ${QZ_LINKED_KIND})
  endif()
  list(TRANSFORM ARG_DIRS PREPEND ${PROJECT_SOURCE_DIR}/)
  list(TRANSFORM ARG_TREES PREPEND ${PROJECT_SOURCE_DIR}/)
  list(TRANSFORM ARG_EXCLUDE PREPEND ${PROJECT_SOURCE_DIR}/)
  qz_collect(sources "*.cpp" DIRS ${ARG_DIRS} TREES ${ARG_TREES} EXCLUDE ${ARG_EXCLUDE})
  add_library(${name} ${kind} ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  qz_warnings(${name})
  set_property(GLOBAL APPEND PROPERTY QZ_LIBRARIES ${name})
endfunction()

# What every test runs with: caches (Mesa's shader cache above all) go to the build tree,
# never to the user's home.
set(QZ_TEST_ENVIRONMENT "XDG_CACHE_HOME=set:${CMAKE_BINARY_DIR}/test-cache")

# Gives every test registered so far in the current folder the environment above (the
# discovered tests of qz_test have it already). Call it at the end of a folder's
# CMakeLists.txt that registers tests with add_test, qz_fixture_test or qz_fuzzer.
function(qz_test_environment)
  get_property(tests DIRECTORY PROPERTY TESTS)
  if(tests)
    set_property(TEST ${tests} APPEND PROPERTY ENVIRONMENT_MODIFICATION ${QZ_TEST_ENVIRONMENT})
  endif()
endfunction()

# qz_test(<name> DIRS <dir>... [EXCLUDE <dir>...] LIBS <lib>...): one GoogleTest binary
# per subsystem over tests/<dir> and its subfolders.
# Files named *ConcurrencyTest.cpp belong to it too; a ThreadSanitizer build (QZ_TSAN)
# builds only those, into <name>, and adds the binary to the target concurrency_tests.
function(qz_test name)
  cmake_parse_arguments(ARG "" "" "DIRS;EXCLUDE;LIBS" ${ARGN})
  set(pattern "*.cpp")
  if(QZ_TSAN)
    set(pattern "*ConcurrencyTest.cpp")
  endif()
  list(TRANSFORM ARG_DIRS PREPEND ${PROJECT_SOURCE_DIR}/tests/)
  list(TRANSFORM ARG_EXCLUDE PREPEND ${PROJECT_SOURCE_DIR}/tests/)
  qz_collect(sources ${pattern} TREES ${ARG_DIRS} EXCLUDE ${ARG_EXCLUDE})
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  if(QZ_TSAN)
    add_dependencies(concurrency_tests ${name})
  endif()
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  # The one folder of reference images (Support/ImageCompare.h).
  target_compile_definitions(${name} PRIVATE QZ_TEST_REFERENCE_IMAGES="${PROJECT_SOURCE_DIR}/tests/Data/Reference")
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  qz_warnings(${name})
  # At the end of this folder, once its qz_fixture_test calls have named their suites.
  cmake_language(EVAL CODE "cmake_language(DEFER CALL _qz_discover_tests ${name})")
endfunction()

# Every test of the binary but the suites that run under a fixture, one CTest each.
function(_qz_discover_tests name)
  get_target_property(suites ${name} QZ_FIXTURE_SUITES)
  set(filter "*")
  if(suites)
    list(TRANSFORM suites APPEND ".*")
    list(JOIN suites ":" excluded)
    set(filter "-${excluded}")
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 TEST_FILTER "${filter}"
                       PROPERTIES ENVIRONMENT_MODIFICATION ${QZ_TEST_ENVIRONMENT})
  set_property(TARGET ${name} PROPERTY QZ_TESTS_DISCOVERED TRUE)
endfunction()

# The servers that some tests need, each started and stopped by a CTest fixture: a JACK
# server on the dummy driver (named per build tree, so two trees and a desktop's own
# server stay apart) and an X server (Xvfb). Call once, before the first qz_fixture_test.
function(qz_test_fixtures)
  if(QZ_TSAN)
    return()
  endif()
  string(MD5 build_hash "${CMAKE_BINARY_DIR}")
  string(SUBSTRING "${build_hash}" 0 8 build_hash)
  set(jack_server "qz-midi-test-${build_hash}")
  set(jack_script "${PROJECT_SOURCE_DIR}/tests/Platform/Midi/jack-test-server.sh")
  set(jack_state "${CMAKE_BINARY_DIR}/tests/jack-server")
  add_test(NAME QZJackServerStart COMMAND ${jack_script} start ${jack_state} ${jack_server})
  add_test(NAME QZJackServerStop COMMAND ${jack_script} stop ${jack_state} ${jack_server})
  set_tests_properties(QZJackServerStart PROPERTIES FIXTURES_SETUP QZJackServer RESOURCE_LOCK QZJackServer TIMEOUT 60
                                                     LABELS server)
  set_tests_properties(QZJackServerStop PROPERTIES FIXTURES_CLEANUP QZJackServer RESOURCE_LOCK QZJackServer TIMEOUT 60
                                                    LABELS server)
  set_property(GLOBAL PROPERTY QZ_FIXTURE_ENVIRONMENT_JACK "JACK_DEFAULT_SERVER=${jack_server}")

  set(xvfb_script "${PROJECT_SOURCE_DIR}/tests/QZFramework/Renderer/OpenGL/xvfb-test-server.sh")
  set(xvfb_state "${CMAKE_BINARY_DIR}/tests/xvfb-server")
  add_test(NAME QZXvfbStart COMMAND ${xvfb_script} start ${xvfb_state})
  add_test(NAME QZXvfbStop COMMAND ${xvfb_script} stop ${xvfb_state})
  set_tests_properties(QZXvfbStart PROPERTIES FIXTURES_SETUP QZXvfb TIMEOUT 60 LABELS server)
  set_tests_properties(QZXvfbStop PROPERTIES FIXTURES_CLEANUP QZXvfb TIMEOUT 60 LABELS server)
  # Mesa's software GL renders on the calling thread: worker threads still ending at exit
  # crash LeakSanitizer's final scan.
  set_property(GLOBAL PROPERTY QZ_FIXTURE_ENVIRONMENT_XVFB "QZ_TEST_XVFB_DISPLAY_FILE=${xvfb_state}/display"
                                                           "LP_NUM_THREADS=0")
endfunction()

# qz_fixture_test(<ctest name> FIXTURE <JACK|XVFB>... TARGET <test binary> SUITE <gtest suite>
#                 [ENVIRONMENT <name=value>...] [DEPENDS <target>...] [TIMEOUT <s>])
# Runs one suite of a qz_test binary as one CTest under the fixtures' servers (one or both),
# and only there: the suite is left out of the binary's ordinary tests, so it never runs (or
# skips) without its servers. Call it in the folder of the binary's qz_test. The test
# finds its server through the environment: JACK_DEFAULT_SERVER for JACK (JACK clients
# read it), QZ_TEST_XVFB_DISPLAY_FILE (a file holding the display number) for Xvfb. JACK
# tests run one at a time, and so do Xvfb tests: the screen, the keyboard focus, the pointer
# and the root window's properties are the whole server's (a window that SDL shows without
# a window manager takes the focus; one shown where another test reads pixels or clicks
# covers that test's window). A TSan build has no fixture tests.
function(qz_fixture_test name)
  cmake_parse_arguments(ARG "" "TARGET;SUITE;TIMEOUT" "FIXTURE;ENVIRONMENT;DEPENDS" ${ARGN})
  if(QZ_TSAN OR NOT TARGET ${ARG_TARGET})
    return()
  endif()
  get_target_property(discovered ${ARG_TARGET} QZ_TESTS_DISCOVERED)
  if(discovered)
    message(FATAL_ERROR "qz_fixture_test(${name}): call it in the folder of qz_test(${ARG_TARGET})")
  endif()
  set(environment)
  set(fixtures)
  set(locks)
  set(timeout 0)
  foreach(fixture IN LISTS ARG_FIXTURE)
    get_property(fixture_environment GLOBAL PROPERTY QZ_FIXTURE_ENVIRONMENT_${fixture})
    if(NOT fixture_environment)
      message(FATAL_ERROR "qz_fixture_test(${name}): FIXTURE is JACK or XVFB, after qz_test_fixtures()")
    endif()
    list(APPEND environment ${fixture_environment})
    if(fixture STREQUAL "JACK")
      list(APPEND fixtures QZJackServer)
      list(APPEND locks QZJackServer)
      set(fixture_timeout 180)
    else()
      list(APPEND fixtures QZXvfb)
      list(APPEND locks QZXvfbInput)
      set(fixture_timeout 120)
    endif()
    if(fixture_timeout GREATER timeout)
      set(timeout ${fixture_timeout})
    endif()
  endforeach()
  if(NOT fixtures)
    message(FATAL_ERROR "qz_fixture_test(${name}): FIXTURE is JACK or XVFB, after qz_test_fixtures()")
  endif()
  set_property(TARGET ${ARG_TARGET} APPEND PROPERTY QZ_FIXTURE_SUITES ${ARG_SUITE})
  if(ARG_DEPENDS)
    add_dependencies(${ARG_TARGET} ${ARG_DEPENDS})
  endif()
  add_test(NAME ${name} COMMAND ${ARG_TARGET} --gtest_filter=${ARG_SUITE}.*)
  list(APPEND environment ${ARG_ENVIRONMENT})
  if(ARG_TIMEOUT)
    set(timeout ${ARG_TIMEOUT})
  endif()
  # The label lets scripts/test.sh tell a test that met a server (Xvfb, JACK) from the rest.
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED "${fixtures}" RESOURCE_LOCK "${locks}"
                                          TIMEOUT ${timeout} ENVIRONMENT "${environment}" LABELS server)
endfunction()

# qz_fuzzer(<name> SOURCE <file> LIBS <lib>... [RUNS <n>]): a libFuzzer target whose
# seed corpus is fuzz/corpus/<name>; the test runs it for a bounded number of inputs,
# writing what it finds to a scratch folder so the seed corpus stays as committed.
function(qz_fuzzer name)
  cmake_parse_arguments(ARG "" "SOURCE;RUNS" "LIBS" ${ARGN})
  if(NOT ARG_RUNS)
    set(ARG_RUNS 200000)
  endif()
  add_executable(${name} ${ARG_SOURCE})
  add_dependencies(fuzzers ${name})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  qz_warnings(${name})
  set(scratch ${CMAKE_CURRENT_BINARY_DIR}/${name}-found)
  file(MAKE_DIRECTORY ${scratch})
  add_test(NAME ${name}
           COMMAND ${name} -runs=${ARG_RUNS} -max_total_time=120 -timeout=10 -rss_limit_mb=2048
                   -artifact_prefix=${CMAKE_CURRENT_BINARY_DIR}/${name}- ${scratch}
                   ${PROJECT_SOURCE_DIR}/fuzz/corpus/${name})
endfunction()
