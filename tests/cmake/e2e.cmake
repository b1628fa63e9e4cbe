# The whole installer as a user drives it: the real binary under Xvfb, clicked
# with xdotool, against the server kit and a Wine prefix of its own. It needs
# the address the binary was built with free on this machine.
if(KV_BUILD_UI AND NOT WIN32 AND NOT CMAKE_CROSSCOMPILING)
  add_test(NAME instalacja_e2e
           COMMAND bash ${CMAKE_SOURCE_DIR}/tests/e2e/instalacja_e2e.sh $<TARGET_FILE:instalator>
                   ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/e2e ${KAVROSTEL_SERVER_URL})
  set_tests_properties(instalacja_e2e PROPERTIES TIMEOUT 420 RUN_SERIAL TRUE LABELS e2e
                       ENVIRONMENT "KV_KLUCZ_PRYWATNY=${KV_KLUCZ_PRYWATNY};KV_KLUCZ_ID=${KV_KLUCZ_ID}")
endif()
