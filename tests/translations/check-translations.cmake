# Runs lupdate over the current sources into a copy of each shipped
# translation. A text the copy holds unfinished is one a user of that language
# would read in English: it is new, changed, or was never translated. A
# translation that drops or adds a placeholder, or loses the leading space of
# a title, breaks the message it stands for.
#
# Input: LUPDATE, TS_FILES and SOURCE_DIRS (lists joined with "|"), WORK_DIR.

string(REPLACE "|" ";" ts_files "${TS_FILES}")
string(REPLACE "|" ";" source_dirs "${SOURCE_DIRS}")
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")

function(unescape_xml text out)
    string(REPLACE "&lt;" "<" text "${text}")
    string(REPLACE "&gt;" ">" text "${text}")
    string(REPLACE "&quot;" "\"" text "${text}")
    string(REPLACE "&apos;" "'" text "${text}")
    string(REPLACE "&amp;" "&" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

function(placeholders text out)
    string(REGEX MATCHALL "%[0-9]+|%n" found "${text}")
    list(SORT found)
    set(${out} "${found}" PARENT_SCOPE)
endfunction()

set(problems "")
foreach(shipped ${ts_files})
    get_filename_component(name "${shipped}" NAME)
    set(copy "${WORK_DIR}/${name}")
    file(COPY_FILE "${shipped}" "${copy}")
    execute_process(
        COMMAND "${LUPDATE}" -silent -no-obsolete -locations none -extensions cpp,h ${source_dirs}
                -ts "${copy}"
        RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "lupdate failed on ${name}:\n${output}")
    endif()

    file(READ "${copy}" content)
    # Semicolons and brackets would change how the list of messages below splits.
    string(REPLACE ";" "<semicolon/>" content "${content}")
    string(REPLACE "[" "<open/>" content "${content}")
    string(REPLACE "]" "<close/>" content "${content}")
    string(REPLACE "</message>" ";" messages "${content}")
    set(context "")
    foreach(message IN LISTS messages)
        string(REPLACE "<semicolon/>" ";" message "${message}")
        string(REPLACE "<open/>" "[" message "${message}")
        string(REPLACE "<close/>" "]" message "${message}")
        if(message MATCHES "<name>([^<]*)</name>")
            unescape_xml("${CMAKE_MATCH_1}" context)
        endif()
        if(NOT message MATCHES "<source>([^<]*)</source>")
            continue()
        endif()
        unescape_xml("${CMAKE_MATCH_1}" source)
        set(where "${name}, ${context}: \"${source}\"")
        if(message MATCHES "<translation[^>]*type=\"(unfinished|vanished|obsolete)\"")
            string(APPEND problems "  ${where} is not translated\n")
            continue()
        endif()
        # A text with a count has one translation for each plural form.
        if(message MATCHES "<numerusform")
            set(rest "${message}")
            while(rest MATCHES "<numerusform>([^<]*)</numerusform>")
                set(form "${CMAKE_MATCH_1}")
                string(REPLACE "<numerusform>${form}</numerusform>" "" rest "${rest}")
                if(form STREQUAL "")
                    string(APPEND problems "  ${where} has an empty plural form\n")
                    continue()
                endif()
                unescape_xml("${form}" translation)
                placeholders("${source}" wanted)
                placeholders("${translation}" given)
                if(NOT wanted STREQUAL given)
                    string(APPEND problems
                           "  ${where} has the placeholders \"${given}\" in place of \"${wanted}\"\n")
                endif()
            endwhile()
            continue()
        endif()
        if(NOT message MATCHES "<translation>([^<]+)</translation>")
            string(APPEND problems "  ${where} has an empty translation\n")
            continue()
        endif()
        unescape_xml("${CMAKE_MATCH_1}" translation)
        placeholders("${source}" wanted)
        placeholders("${translation}" given)
        if(NOT wanted STREQUAL given)
            string(APPEND problems
                   "  ${where} has the placeholders \"${given}\" in place of \"${wanted}\"\n")
        endif()
        foreach(edge "^ " " $")
            if(source MATCHES "${edge}" AND NOT translation MATCHES "${edge}")
                string(APPEND problems "  ${where} loses its leading or trailing space\n")
            endif()
        endforeach()
    endforeach()
endforeach()

if(problems)
    message(FATAL_ERROR
            "These texts need work in the shipped translations (wrap new texts in tr(), then run "
            "`cmake --build build --target update_translations` and translate them in Qt "
            "Linguist):\n${problems}")
endif()
