# SPDX-License-Identifier: MIT
# Pellwick.exe under Wine: a log-in run, then --send-now and --headless, in a
# network namespace of its own, with the settings imported into the machine's
# registry by regedit. Runs in the Wine session of scripts/test-windows.sh (WINEPREFIX).
add_test(NAME system.windows_login_run
         COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/windows_end_to_end.py
                 $<TARGET_FILE:pellwick>)
set_tests_properties(system.windows_login_run PROPERTIES
    LABELS system SKIP_RETURN_CODE 77 TIMEOUT 120 RESOURCE_LOCK network_namespace
    ENVIRONMENT PELLWICK_VERSION=${PROJECT_VERSION})

# Behind the home router of miniupnpd and coturn (home_network.py): the public
# address by NAT-PMP, then with NAT-PMP off by UPnP IGD alone, and a move mailed.
foreach(name IN ITEMS windows_home_network windows_home_network_upnp)
    string(REGEX MATCH "upnp$" mode ${name})
    add_test(NAME system.${name}
             COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/home_network.py
                     $<TARGET_FILE:pellwick> /opt/pellwick-test/miniupnpd ${mode})
    set_tests_properties(system.${name} PROPERTIES
        LABELS system SKIP_RETURN_CODE 77 TIMEOUT 180 RESOURCE_LOCK network_namespace
        ENVIRONMENT PELLWICK_VERSION=${PROJECT_VERSION})
endforeach()
