# SPDX-License-Identifier: MIT
# Hardening and reproducible output for every target of the build.
#
# Hardening as Debian 12 builds its own packages (and hardening-check verifies): stack
# protector, FORTIFY, full RELRO with immediate binding, PIE; for Pellwick.exe ASLR
# with a high-entropy address space and DEP. (No control-flow protection: Debian 12's
# C runtime objects lack its marks, so the linker drops it from the program anyway.)
# The sanitizer and fuzzing builds go without: their run-time checks replace these
# and clash with FORTIFY.
#
# Reproducible output: the source and build folders are mapped to fixed names in
# whatever the compiler writes (debug information, __FILE__), so two builds of the
# same commit in different folders give the same bytes; the PE linker writes no
# time stamp.
if(MSVC)
    return()
endif()

add_compile_options("-ffile-prefix-map=${PROJECT_SOURCE_DIR}=."
                    "-ffile-prefix-map=${PROJECT_BINARY_DIR}=build")
if(WIN32)
    add_link_options(-Wl,--no-insert-timestamp)
endif()

if(NOT PELLWICK_HARDEN OR PELLWICK_SANITIZE OR PELLWICK_BUILD_FUZZ)
    return()
endif()

if(WIN32)
    add_link_options(-Wl,--dynamicbase -Wl,--high-entropy-va -Wl,--nxcompat)
else()
    include(CheckPIESupported)
    check_pie_supported(LANGUAGES CXX)
    set(CMAKE_POSITION_INDEPENDENT_CODE ON)
    add_compile_options(-fstack-protector-strong -fstack-clash-protection
                        # FORTIFY needs the optimiser; a Debug build would only warn.
                        $<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE>
                        $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
    add_link_options(-Wl,-z,relro -Wl,-z,now)
endif()
