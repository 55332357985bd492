# SPDX-License-Identifier: MIT
# The Qt program on Linux: Xvfb, a tray host and aiosmtpd in the namespace.
foreach(scenario
        tray_mail_and_exit
        without_display
        unreachable_ipv6)
    add_test(NAME system.${scenario}
             COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/end_to_end.py ${scenario}
                     $<TARGET_FILE:pellwick>)
    set_tests_properties(system.${scenario} PROPERTIES
        LABELS system SKIP_RETURN_CODE 77 TIMEOUT 120 RESOURCE_LOCK network_namespace
        ENVIRONMENT PELLWICK_VERSION=${PROJECT_VERSION})
endforeach()

# Behind a home router of Debian's parts: miniupnpd, unpacked by
# scripts/install-deps.sh (never installed as a service), and coturn.
add_test(NAME system.home_network
         COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/home_network.py
                 $<TARGET_FILE:pellwick> /opt/pellwick-test/miniupnpd)
set_tests_properties(system.home_network PROPERTIES
    LABELS system SKIP_RETURN_CODE 77 TIMEOUT 180 RESOURCE_LOCK network_namespace
    ENVIRONMENT PELLWICK_VERSION=${PROJECT_VERSION})
