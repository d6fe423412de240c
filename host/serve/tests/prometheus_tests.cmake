# serve's /metrics read by a real Prometheus and checked by promtool, with a
# mosquitto and a publisher of the test's own (prometheus_tests.py, run by
# Debian's python3 on the bench of page_tests.py). Each test case is a CTest
# test of its own, with a folder of its own in prometheus_tests/ of this
# build folder, where its logs stay for a look after a failure. Skipped (exit
# status 77) where a tool is missing.
foreach(kr_case PrometheusTests.test_fleet_counts_and_a_killed_publisher
                MetricsTextTests.test_promtool_finds_nothing)
    add_test(NAME serve_prometheus_tests.${kr_case}
        COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/prometheus_tests.py
                $<TARGET_FILE:camexpert> ${CMAKE_CURRENT_BINARY_DIR}/prometheus_tests ${kr_case})
    set_tests_properties(serve_prometheus_tests.${kr_case} PROPERTIES SKIP_RETURN_CODE 77)
endforeach()
