# Puts the template linter beside the programs, so that quillery-library check
# finds it in the build tree as after an install. Runs at every build: the
# packages appear only once scripts/install-deps has run npm ci, maybe after
# the build was configured. npm's own record of what it installed tells
# whether the 8 MB of packages need copying again.
#
#   cmake -DSOURCE=library/lint -DTARGET=build/bin/lint -P copy-linter.cmake
file(MAKE_DIRECTORY ${TARGET})
foreach(name lint.mjs exceptions.txt package.json package-lock.json)
    file(COPY_FILE ${SOURCE}/${name} ${TARGET}/${name} ONLY_IF_DIFFERENT)
endforeach()

set(record node_modules/.package-lock.json)
if(NOT EXISTS ${SOURCE}/${record})
    file(REMOVE_RECURSE ${TARGET}/node_modules)
    message(STATUS "The template linter's packages are not in ${SOURCE}/node_modules "
                   "(scripts/install-deps installs them): quillery-library check cannot check "
                   "the mail programs")
    return()
endif()
file(SHA256 ${SOURCE}/${record} wanted)
set(copied "")
if(EXISTS ${TARGET}/${record})
    file(SHA256 ${TARGET}/${record} copied)
endif()
if(NOT wanted STREQUAL copied)
    file(REMOVE_RECURSE ${TARGET}/node_modules)
    # The record goes last, so that a copy cut short is made again.
    file(COPY ${SOURCE}/node_modules DESTINATION ${TARGET} PATTERN .package-lock.json EXCLUDE)
    file(COPY_FILE ${SOURCE}/${record} ${TARGET}/${record})
endif()
