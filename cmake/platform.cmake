# Chooses, once, which machine layer and which shell this build gets. Nothing else
# in the build asks which system it targets.
if(WIN32)
    set(PELLWICK_PLATFORM windows)
    set(PELLWICK_SHELL win32)
else()
    set(PELLWICK_PLATFORM linux)
    # The plain POSIX parts, built below the system's own folder.
    set(PELLWICK_PLATFORM_BASE posix)
    set(PELLWICK_SHELL qt)
endif()
