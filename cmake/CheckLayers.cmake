# SPDX-License-Identifier: MIT
# Checks that includes only point down the layers (core <- platform <- gui <-
# app), that the core includes no Qt and no OS header (nothing but the C++
# standard library and itself), and that only the per-OS folders test the OS.
# Run with: cmake -DSOURCE_DIR=<repo>/src -P CheckLayers.cmake
set(failures "")

# What each layer may include with quotes.
set(allowed_core "core/")
set(allowed_platform "core/;platform/")
set(allowed_gui "core/;platform/;gui/")
set(allowed_app "core/;platform/;gui/;app/")

foreach(layer core platform gui app)
    file(GLOB_RECURSE sources "${SOURCE_DIR}/${layer}/*.h" "${SOURCE_DIR}/${layer}/*.cpp")
    foreach(source ${sources})
        file(RELATIVE_PATH name "${SOURCE_DIR}" "${source}")
        file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include")
        foreach(line ${includes})
            if(line MATCHES "\"([^\"]+)\"")
                set(target "${CMAKE_MATCH_1}")
                set(ok FALSE)
                foreach(prefix ${allowed_${layer}})
                    string(FIND "${target}" "${prefix}" at)
                    if(at EQUAL 0)
                        set(ok TRUE)
                    endif()
                endforeach()
                if(NOT ok)
                    list(APPEND failures "${name}: includes \"${target}\" from a higher layer")
                endif()
            elseif(layer STREQUAL "core" AND line MATCHES "<([^>]+)>")
                # The C++ standard headers have no extension and no folder.
                set(target "${CMAKE_MATCH_1}")
                if(target MATCHES "[./]" OR target MATCHES "^Q")
                    list(APPEND failures "${name}: the core includes <${target}>")
                endif()
            endif()
        endforeach()
        if(NOT name MATCHES "^(platform/[a-z]+/|gui/win32/)")
            file(STRINGS "${source}" os_tests REGEX "_WIN32|__linux__|__APPLE__")
            if(os_tests)
                list(APPEND failures "${name}: tests the OS outside its own folder")
            endif()
        endif()
    endforeach()
endforeach()

if(failures)
    list(JOIN failures "\n  " text)
    message(FATAL_ERROR "Layer rules broken:\n  ${text}")
endif()
message(STATUS "Layers: every include points down; the core is plain C++")
