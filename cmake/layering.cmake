# Fails, naming each file and include, when a file includes a header it must
# not see. Two rules:
#
# - Layers. Each folder uses only the folders below it, so that a lower part
#   can be built, tested and changed without what sits on it. A folder may
#   include its own headers and those of every folder on a lower line of
#   `layers`; folders on the same line are siblings and include nothing of
#   each other. Every folder of src/core has its line: a new one is placed on
#   purpose, not by accident.
# - The MIME component's internals. Everything above the component sees it
#   only through mimecomponent.h, so that its GMime-shaped internals can change
#   freely; its own tests and fuzzers may look inside.
#
# tests/ and fuzz/ are not checked: a test may reach any part it tests.
#
# Run as: cmake -DSOURCE_DIR=<repository> [-DSTAMP=<file>] -P layering.cmake

cmake_minimum_required(VERSION 3.22)

# Folders as includes name them from src/ (tools/ and bench/ from the
# repository), from the lowest up.
set(layers
    "core/platform"
    "core/html"
    "core/mime"
    "core/gallery/library core/views core/window"
    "core/gallery/build core/gallery/search core/export core/brand"
    "core/gallery/check"
    "core/gallery/userlibrary"
    "app/common app/web"
    "app/render app/brand"
    "app/preview app/search app/owntemplates app/export"
    "app/window"
    "app/startup"
    "tools bench")
set(public_headers core/mime/mimecomponent.h)
set(private_folders core/mime)

set(level 0)
set(known_folders)
foreach(line IN LISTS layers)
    string(REPLACE " " ";" folders "${line}")
    foreach(folder IN LISTS folders)
        set("level_of_${folder}" ${level})
        list(APPEND known_folders ${folder})
    endforeach()
    math(EXPR level "${level} + 1")
endforeach()

# The layered folder `path` (a file or folder, as includes name it) lies in,
# or "" when it lies in none.
function(layer_folder path out)
    set(folder "${path}")
    while(NOT folder STREQUAL "")
        if(folder IN_LIST known_folders)
            set(${out} "${folder}" PARENT_SCOPE)
            return()
        endif()
        get_filename_component(parent "${folder}" DIRECTORY)
        set(folder "${parent}")
    endwhile()
    set(${out} "" PARENT_SCOPE)
endfunction()

# The window's headers are included by file name alone (each folder of src/app
# is an include folder of its library), so a bare name is looked up in the
# folder of src/app that holds it.
file(GLOB app_headers RELATIVE ${SOURCE_DIR}/src ${SOURCE_DIR}/src/app/*/*.h)
foreach(header IN LISTS app_headers)
    get_filename_component(name "${header}" NAME)
    get_filename_component(folder "${header}" DIRECTORY)
    set("app_folder_of_${name}" "${folder}")
endforeach()

file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/src/*.h ${SOURCE_DIR}/src/*.cpp
     ${SOURCE_DIR}/tools/*.h ${SOURCE_DIR}/tools/*.cpp ${SOURCE_DIR}/bench/*.h
     ${SOURCE_DIR}/bench/*.cpp)
list(SORT files)

set(offences)
foreach(path IN LISTS files)
    string(REGEX REPLACE "^src/" "" named "${path}")
    get_filename_component(own_dir "${named}" DIRECTORY)
    layer_folder("${own_dir}" own)
    if(own STREQUAL "")
        if(named MATCHES "^(core|app)/")
            list(APPEND offences "  ${path}: its folder has no place in the layers")
        endif()
        continue()
    endif()
    set(own_level ${level_of_${own}})
    file(STRINGS ${SOURCE_DIR}/${path} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<][^\">]+[\">]")
    foreach(line IN LISTS includes)
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[\"<]([^\">]+)[\">].*" "\\1" header "${line}")
        string(STRIP "${line}" line)
        get_filename_component(header_dir "${header}" DIRECTORY)
        if(header_dir STREQUAL "")
            # A header beside the file is its own; any other bare name is the
            # window's, or none of ours (Qt's, the system's).
            get_filename_component(file_dir "${path}" DIRECTORY)
            if(EXISTS "${SOURCE_DIR}/${file_dir}/${header}")
                continue()
            endif()
            set(header_dir "${app_folder_of_${header}}")
            if(header_dir STREQUAL "")
                continue()
            endif()
        endif()
        layer_folder("${header_dir}" target)
        if(target STREQUAL "" OR target STREQUAL own)
            continue()
        endif()
        set(target_level ${level_of_${target}})
        if(target_level GREATER own_level)
            list(APPEND offences "  ${path}: ${line} (${own} lies below ${target})")
        elseif(target_level EQUAL own_level)
            list(APPEND offences "  ${path}: ${line} (${own} and ${target} are siblings)")
        elseif(target IN_LIST private_folders AND NOT header IN_LIST public_headers)
            list(APPEND offences "  ${path}: ${line} (only ${public_headers} is public)")
        endif()
    endforeach()
endforeach()

if(offences)
    list(JOIN offences "\n" text)
    message(FATAL_ERROR "Includes against the layers of the source tree (see the layers in "
                        "cmake/layering.cmake and docs/architecture.md):\n${text}")
endif()
if(STAMP)
    file(TOUCH ${STAMP})
endif()
