# SPDX-License-Identifier: MIT
# Chooses, once, which machine layer and which shell this build gets. Nothing else
# in the build asks which system it targets. PELLWICK_PLATFORM_FOLDERS lists the
# folders of src/platform this build compiles, shared ones first.
if(WIN32)
    set(PELLWICK_PLATFORM windows)
    set(PELLWICK_PLATFORM_FOLDERS windows)
    set(PELLWICK_SHELL win32)
else()
    set(PELLWICK_PLATFORM linux)
    set(PELLWICK_PLATFORM_FOLDERS posix linux)
    set(PELLWICK_SHELL qt)
endif()
