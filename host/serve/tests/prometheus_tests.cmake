# serve's /metrics read by a real Prometheus and checked by promtool, with a
# mosquitto and a publisher of the test's own (prometheus_tests.py). Each
# test case is a CTest test of its own, with a folder of its own below this
# build folder, where its logs stay for a look after a failure.
set(kr_prometheus_programs /usr/bin/python3 /usr/bin/prometheus /usr/bin/promtool /usr/sbin/mosquitto)
foreach(kr_program ${kr_prometheus_programs})
    if(NOT EXISTS ${kr_program})
        message(STATUS "serve's Prometheus tests left out: no ${kr_program} "
                       "(Debian: python3, prometheus, mosquitto)")
        return()
    endif()
endforeach()
foreach(kr_case PrometheusTests.test_fleet_counts_and_a_killed_publisher
                MetricsTextTests.test_promtool_finds_nothing)
    add_test(NAME serve_prometheus_tests.${kr_case}
        COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/prometheus_tests.py
                --camexpert $<TARGET_FILE:camexpert>
                --folder ${CMAKE_CURRENT_BINARY_DIR}/prometheus_tests ${kr_case})
endforeach()
