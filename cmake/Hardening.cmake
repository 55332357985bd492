# Hardening and reproducible output for every target of the build.
#
# Hardening as Debian builds its own packages (and hardening-check verifies): stack
# protector, FORTIFY, full RELRO with immediate binding, PIE, control-flow
# protection on x86; for Pellwick.exe ASLR with a high-entropy address space and
# DEP. The sanitizer and fuzzing builds go without: their run-time checks replace
# these and clash with FORTIFY.
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
    if(CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64|AMD64|i[3-6]86")
        add_compile_options(-fcf-protection)
    endif()
    add_compile_options(-fstack-protector-strong -fstack-clash-protection
                        # FORTIFY needs the optimiser; a Debug build would only warn.
                        $<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE>
                        $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
    add_link_options(-Wl,-z,relro -Wl,-z,now)
endif()
