# Runs the layering check on small trees, each with one include that keeps to
# the layers or breaks them, and fails unless the check passes the good trees
# and refuses every bad one naming the file.
#
# Run as: cmake -DCHECKER=<layering.cmake> -DWORK_DIR=<folder> -P layering-fixtures.cmake

cmake_minimum_required(VERSION 3.22)

# name | file | the line it holds | the file the check must name, or "ok"
set(cases
    "gallery jobs upwards|src/core/gallery/check/c.cpp|#include \"core/gallery/library/l.h\"|ok"
    "app on any core folder|src/app/window/w.cpp|#include \"core/gallery/userlibrary/u.h\"|ok"
    "own folder unqualified|src/core/gallery/check/c.cpp|#include \"c.h\"|ok"
    "public MIME header|tools/library/t.cpp|#include \"core/mime/mimecomponent.h\"|ok"
    "system header|src/core/platform/p.cpp|#include <QString>|ok"
    "library includes check|src/core/gallery/library/l.cpp|#include \"core/gallery/check/c.h\"|src/core/gallery/library/l.cpp"
    "platform includes views|src/core/platform/p.h|#include <core/views/v.h>|src/core/platform/p.h"
    "html includes MIME|src/core/html/h.cpp|  #  include \"core/mime/mimecomponent.h\"|src/core/html/h.cpp"
    "build includes search|src/core/gallery/build/b.cpp|#include \"core/gallery/search/s.h\"|src/core/gallery/build/b.cpp"
    "core includes the app|src/core/export/e.cpp|#include \"app/window/form1.h\"|src/core/export/e.cpp"
    "MIME internal in the app|src/app/window/w.cpp|#include \"core/mime/mimepage.h\"|src/app/window/w.cpp"
    "window uses a feature by name|src/app/window/w.cpp|#include \"x.h\"|ok"
    "own name beside, also the window's|src/core/views/plaintext.cpp|#include \"plaintext.h\"|ok"
    "feature includes the window by name|src/app/search/s.cpp|#include \"form1.h\"|src/app/search/s.cpp"
    "features are siblings|src/app/export/e.cpp|#include \"x.h\"|src/app/export/e.cpp"
    "app file without a folder|src/app/w.cpp|#include <QString>|src/app/w.cpp"
    "core folder without a layer|src/core/gallery/g.cpp|#include <QString>|src/core/gallery/g.cpp")

set(failures)
set(index 0)
foreach(case IN LISTS cases)
    string(REPLACE "|" ";" fields "${case}")
    list(GET fields 0 name)
    list(GET fields 1 file)
    list(GET fields 2 line)
    list(GET fields 3 expected)
    set(tree ${WORK_DIR}/${index})
    math(EXPR index "${index} + 1")
    file(REMOVE_RECURSE ${tree})
    # Headers of every layer, so that a good include names a real file.
    foreach(header src/core/platform/p.h src/core/gallery/library/l.h
                   src/core/gallery/check/c.h src/core/gallery/search/s.h
                   src/core/gallery/userlibrary/u.h src/core/views/v.h
                   src/core/mime/mimecomponent.h src/core/mime/mimepage.h src/core/views/plaintext.h
                   src/app/window/form1.h src/app/search/x.h src/app/common/plaintext.h)
        if(NOT header STREQUAL file)
            file(WRITE ${tree}/${header} "#pragma once\n")
        endif()
    endforeach()
    file(WRITE ${tree}/${file} "// ${name}\n${line}\n")
    execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${tree} -P ${CHECKER}
                    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(expected STREQUAL "ok")
        if(NOT result EQUAL 0)
            list(APPEND failures "${name}: refused a good tree:\n${output}")
        endif()
    elseif(result EQUAL 0)
        list(APPEND failures "${name}: passed a tree that breaks the layers")
    else()
        string(FIND "${output}" "  ${expected}: " at)
        if(at EQUAL -1)
            list(APPEND failures "${name}: did not name ${expected}:\n${output}")
        endif()
    endif()
endforeach()

if(failures)
    list(JOIN failures "\n" text)
    message(FATAL_ERROR "${text}")
endif()
message(STATUS "${index} trees checked")
