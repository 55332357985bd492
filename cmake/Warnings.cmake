# SPDX-License-Identifier: MIT
# One place for the project's warning flags; every target links this.
add_library(pellwick_warnings INTERFACE)
if(MSVC)
    target_compile_options(pellwick_warnings INTERFACE /W4 /permissive-)
else()
    target_compile_options(pellwick_warnings INTERFACE
        -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
        -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual -Wnull-dereference
        -Wformat=2 -Wimplicit-fallthrough)
    if(PELLWICK_WERROR)
        target_compile_options(pellwick_warnings INTERFACE -Werror)
    endif()
endif()
