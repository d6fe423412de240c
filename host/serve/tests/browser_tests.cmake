# The page in headless Chromium, driven by Selenium with Debian's own python3
# (packages chromium, chromium-driver, python3-selenium, mosquitto): the list,
# the filters, live updates, hostile texts and the item page, against
# publishers and camexpert serve on a mosquitto of the test's own. It keeps
# its files and a screenshot of each page in page_tests/ of this build folder
# and skips (exit status 77) where a tool is missing.
if(KR_HOST_MQTT)
    add_test(NAME serve_page_tests
        COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/page_tests.py
                $<TARGET_FILE:camexpert> ${CMAKE_CURRENT_BINARY_DIR}/page_tests)
    set_tests_properties(serve_page_tests PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)
endif()
