# Installs the build into a fresh prefix, moves the whole prefix elsewhere, and
# checks that the moved installation is complete and still finds its library.
set(first ${WORK}/first)
set(moved ${WORK}/moved)
file(REMOVE_RECURSE ${WORK})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${first}
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
file(RENAME ${first} ${moved})

foreach(path
        bin/quillery
        bin/quillery-library
        ${APPDIR}/quillery
        ${APPDIR}/quillery-library
        ${APPDIR}/quillery-thumbnails
        ${APPDIR}/categories/0Retail.html
        "${APPDIR}/templates/Café Menu.dat"
        ${APPDIR}/lint/lint.mjs
        ${APPDIR}/lint/exceptions.txt
        ${APPDIR}/lint/node_modules/@jsx-email/doiuse-email/package.json
        share/applications/${APP_ID}.desktop
        share/metainfo/${APP_ID}.metainfo.xml
        share/icons/hicolor/scalable/apps/${APP_ID}.svg
        share/icons/hicolor/48x48/apps/${APP_ID}.png
        share/icons/hicolor/256x256/apps/${APP_ID}.png)
    if(NOT EXISTS "${moved}/${path}")
        message(FATAL_ERROR "missing after install: ${path}")
    endif()
endforeach()

foreach(program quillery quillery-library)
    file(READ_SYMLINK ${moved}/bin/${program} link)
    if(IS_ABSOLUTE "${link}")
        message(FATAL_ERROR
                "bin/${program} points to an absolute path (${link}); the folder cannot move")
    endif()
endforeach()

# Run through its link, as a user with the prefix on PATH would.
execute_process(COMMAND ${moved}/bin/quillery-library --help
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "bin/quillery-library --help failed (${result}) after the move:\n${out}${err}")
endif()

execute_process(COMMAND ${moved}/${APPDIR}/quillery-library check ${moved}/${APPDIR}
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "the moved library does not check clean:\n${out}${err}")
endif()
# The linter and the renderer moved with the tool, so the mail programs and
# the Outlook model were checked too.
if(out MATCHES "not checked" OR err MATCHES "cannot be checked")
    message(FATAL_ERROR "the moved tool did not check the mail programs:\n${out}${err}")
endif()
file(REMOVE_RECURSE ${WORK})
message(STATUS "installed, moved, and the library checks clean")
