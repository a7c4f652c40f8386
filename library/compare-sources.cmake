# Regenerates the library sources into WORK and fails when any generated file
# differs from the committed one. Thumbnails are rendered separately and skipped.
file(REMOVE_RECURSE ${WORK})
execute_process(COMMAND ${PYTHON} ${GENERATOR} ${WORK} RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "the generator failed: ${result}")
endif()
file(GLOB_RECURSE generated RELATIVE ${WORK} ${WORK}/*)
file(GLOB_RECURSE committed RELATIVE ${SOURCES} ${SOURCES}/*)
list(FILTER committed EXCLUDE REGEX "/thumbs/")
set(stale ${committed})
list(REMOVE_ITEM stale ${generated})
if(stale)
    message(FATAL_ERROR "committed but no longer generated: ${stale}")
endif()
foreach(file ${generated})
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/${file} ${SOURCES}/${file}
                    RESULT_VARIABLE differs)
    if(differs)
        message(FATAL_ERROR "${file} differs from what the generator writes; "
                            "run: python3 library/generator/generate.py")
    endif()
endforeach()
message(STATUS "${CMAKE_CURRENT_LIST_FILE}: all generated sources are current")
