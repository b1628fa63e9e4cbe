# The agreement presentation with the real pointer: the installer under an X
# server of its own, and a benchmark of the presentation's real timing.
if(KV_BUILD_UI AND NOT WIN32 AND NOT CMAKE_CROSSCOMPILING)
  add_test(NAME prezentacja_xvfb
           COMMAND bash ${CMAKE_SOURCE_DIR}/tests/prezentacja/xvfb_prezentacja.sh
                   $<TARGET_FILE:instalator> ${CMAKE_BINARY_DIR}/prezentacja_xvfb)
  # The glides are timed: alone, so that a parallel test cannot slow them.
  set_tests_properties(prezentacja_xvfb PROPERTIES TIMEOUT 120 LABELS xvfb RUN_SERIAL TRUE)
  # The same glides with Qt scaling the window by 2.
  add_test(NAME prezentacja_xvfb_skala
           COMMAND bash ${CMAKE_SOURCE_DIR}/tests/prezentacja/xvfb_skala_qt.sh
                   $<TARGET_FILE:instalator> ${CMAKE_BINARY_DIR}/prezentacja_xvfb)
  set_tests_properties(prezentacja_xvfb_skala PROPERTIES TIMEOUT 120 LABELS xvfb RUN_SERIAL TRUE)

  # Not a test: prints figures. Run it under Xvfb (DISPLAY set).
  add_executable(prezentacja_bench EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/bench/prezentacja_bench.cpp)
  target_link_libraries(prezentacja_bench PRIVATE kv_ui_qt kv_formularze kv_wsparcie_formularzy)
endif()
