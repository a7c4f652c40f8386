# Fails when a file outside the MIME component includes one of its internal
# headers. Everything above the component sees it only through
# mimecomponent.h, so that its GMime-shaped internals can change freely; its
# own tests and fuzzers may look inside.
#
# Run as: cmake -DSOURCE_DIR=<repository> -DSTAMP=<file> -P layering.cmake

set(checked_folders src/app src/core/platform src/core/html src/core/gallery src/core/export
                    src/core/window src/core/views tools bench)
set(files)
foreach(folder IN LISTS checked_folders)
    file(GLOB_RECURSE found ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp)
    list(APPEND files ${found})
endforeach()

set(offences)
foreach(path IN LISTS files)
    file(STRINGS ${path} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<][^\">]*mime/[^\">/]+\\.h[\">]")
    foreach(line IN LISTS includes)
        if(NOT line MATCHES "mime/mimecomponent\\.h[\">]")
            file(RELATIVE_PATH shown ${SOURCE_DIR} ${path})
            string(STRIP "${line}" line)
            list(APPEND offences "  ${shown}: ${line}")
        endif()
    endforeach()
endforeach()

if(offences)
    list(JOIN offences "\n" text)
    message(FATAL_ERROR "Only core/mime/mimecomponent.h may be included outside the MIME "
                        "component (see docs/architecture.md):\n${text}")
endif()
file(TOUCH ${STAMP})
