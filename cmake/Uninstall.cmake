# SPDX-License-Identifier: MIT
# `cmake --build build --target uninstall` removes what `cmake --install build` put
# in place, as install_manifest.txt lists it (see cmake/UninstallFiles.cmake).
add_custom_target(uninstall
    COMMAND ${CMAKE_COMMAND} -DMANIFEST=${PROJECT_BINARY_DIR}/install_manifest.txt
            -P ${PROJECT_SOURCE_DIR}/cmake/UninstallFiles.cmake
    COMMENT "Removing the files of the last install"
    VERBATIM)
