# SPDX-License-Identifier: MIT
# Read by cpack before it packs (CPACK_PROJECT_CONFIG_FILE): every time in the .deb
# is that of the last commit, or of the release outside a git checkout, unless the
# caller set SOURCE_DATE_EPOCH. The same commit then packs to the same bytes.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    execute_process(COMMAND git -C "${CPACK_PELLWICK_SOURCE_DIR}" log -1 --format=%ct
                    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE
                    RESULT_VARIABLE failed ERROR_QUIET)
    if(failed OR NOT epoch MATCHES "^[0-9]+$")
        set(epoch ${CPACK_PELLWICK_RELEASE_EPOCH})
    endif()
    set(ENV{SOURCE_DATE_EPOCH} ${epoch})
endif()
