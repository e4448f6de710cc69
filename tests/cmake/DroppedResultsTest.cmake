# A call that drops the result of a send, an open, a load or a save fails the build, while
# a result that may be dropped compiles without a cast.
#   cmake -DCXX=<compiler> [-DCLANGXX=<clang++>] -DROOT=<source tree> -DSOURCE=<DroppedResults.cpp>
#         -P DroppedResultsTest.cmake
# g++ 12 does not check [[nodiscard]] on a call that dispatches virtually, so the VIRTUAL_
# cases are left to clang (the fuzz build's compiler) when it is there.
cmake_minimum_required(VERSION 3.25)

# KEPT with every warning an error; the other cases with only a dropped result one.
function(compile compiler case out_result out_text)
  if(case STREQUAL "KEPT")
    set(warnings -Wall -Wextra -Wpedantic -Werror)
  else()
    set(warnings -Werror=unused-result)
  endif()
  execute_process(COMMAND "${compiler}" -std=c++20 -fsyntax-only ${warnings} -I "${ROOT}" -D${case} "${SOURCE}"
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  set(${out_result} ${result} PARENT_SCOPE)
  set(${out_text} "${output}" PARENT_SCOPE)
endfunction()

function(check compiler)
  compile("${compiler}" KEPT result output)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${compiler}: KEPT does not compile:\n${output}")
  endif()
  foreach(case IN LISTS ARGN)
    compile("${compiler}" ${case} result output)
    if(result EQUAL 0 OR NOT output MATCHES "nodiscard")
      message(FATAL_ERROR "${compiler}: ${case} dropped a result and compiled:\n${output}")
    endif()
  endforeach()
endfunction()

set(cases MIDI_SEND MIDI_OPEN FILE_LOAD FILE_SAVE NOTIFICATION_SEND NOTIFICATION_POST)
check("${CXX}" ${cases})
if(CLANGXX)
  check("${CLANGXX}" VIRTUAL_OPEN VIRTUAL_SEND)
endif()
