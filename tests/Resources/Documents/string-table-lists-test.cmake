# Proves that the list generator both notices and repairs a stale list: a copy of the
# document with one controller name changed fails the check, and writing the lists
# restores the committed text.
#
#   cmake -DGENERATOR=<cmake/QZStringTableLists.cmake> -DDOCUMENT=<StringTables.xml>
#         -DSCRATCH=<folder> -P string-table-lists-test.cmake

file(READ "${DOCUMENT}" committed)
set(changed "${committed}")
string(REPLACE ">Sostenuto<" ">Sustenuto<" changed "${changed}")
if(changed STREQUAL committed)
  message(FATAL_ERROR "${DOCUMENT} has no \"Sostenuto\" row to change")
endif()
file(MAKE_DIRECTORY "${SCRATCH}")
set(copy "${SCRATCH}/StringTables.xml")
file(WRITE "${copy}" "${changed}")

execute_process(COMMAND "${CMAKE_COMMAND}" -DDOCUMENT=${copy} -DCHECK=ON -P "${GENERATOR}"
                RESULT_VARIABLE checkResult OUTPUT_QUIET ERROR_QUIET)
if(checkResult EQUAL 0)
  message(FATAL_ERROR "the check passed a document with a changed generated row")
endif()

execute_process(COMMAND "${CMAKE_COMMAND}" -DDOCUMENT=${copy} -P "${GENERATOR}" RESULT_VARIABLE writeResult
                OUTPUT_QUIET)
file(READ "${copy}" repaired)
if(NOT writeResult EQUAL 0 OR NOT repaired STREQUAL committed)
  message(FATAL_ERROR "writing the lists did not restore the committed document")
endif()
