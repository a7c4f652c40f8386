# Renders the thumbnails of the built library into a copy of the sources and
# fails when any differs from the committed one: a template changed without
# its thumbnail would show the user a picture of something else.
file(REMOVE_RECURSE ${WORK})
file(COPY ${SOURCES}/ DESTINATION ${WORK})
execute_process(COMMAND ${THUMBNAILS} thumbs ${WORK} ${LIBRARY} RESULT_VARIABLE result
                OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "quillery-thumbnails failed (${result}):\n${output}")
endif()
file(GLOB_RECURSE committed RELATIVE ${SOURCES} ${SOURCES}/*/thumbs/*.png)
file(GLOB_RECURSE rendered RELATIVE ${WORK} ${WORK}/*/thumbs/*.png)
if(NOT committed STREQUAL rendered)
    message(FATAL_ERROR "thumbnails committed: ${committed}\nthumbnails rendered: ${rendered}")
endif()
set(stale "")
foreach(file ${committed})
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/${file} ${SOURCES}/${file}
                    RESULT_VARIABLE differs)
    if(differs)
        list(APPEND stale ${file})
    endif()
endforeach()
if(stale)
    string(REPLACE ";" "\n  " stale "${stale}")
    message(FATAL_ERROR "these thumbnails no longer show their templates:\n  ${stale}\n"
                        "re-render them: quillery-thumbnails thumbs library/sources <build>/bin")
endif()
message(STATUS "${CMAKE_CURRENT_LIST_FILE}: all thumbnails are current")
