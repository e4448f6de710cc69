# Helpers shared by every subsystem: each subsystem is one library whose sources are
# the .cpp files of its folders, so adding a file needs no edit here.

function(qz_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
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

# qz_library(<name> <SHARED|STATIC> [DIRS <dir>...] [TREES <dir>...] [EXCLUDE <dir>...]
#            [LIBS <lib>...]); folders relative to the project root.
function(qz_library name kind)
  cmake_parse_arguments(ARG "" "" "DIRS;TREES;EXCLUDE;LIBS" ${ARGN})
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
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  qz_warnings(${name})
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60)
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
