# The network roads of the download (a proxy, HTTPS, both together) for both
# HTTP clients: kv_pobierz downloads as the install button does, and the
# shell test tests/serwer/siec_test.sh drives it against the kit, tinyproxy
# and a throw-away CA. The Windows build's kv_pobierz.exe (and kv_zaufaj.exe,
# which trusts the test CA inside the Wine prefix) runs under Wine from that
# script, given KV_WINDOWS (the cross build folder).
add_executable(kv_pobierz ${CMAKE_CURRENT_SOURCE_DIR}/support/kv_pobierz.cpp)
target_link_libraries(kv_pobierz PRIVATE kv_wsparcie_testow kv_platforma)
target_include_directories(kv_pobierz PRIVATE ${CMAKE_SOURCE_DIR}/bench)
if(WIN32)
  add_executable(kv_zaufaj ${CMAKE_CURRENT_SOURCE_DIR}/win32/narzedzia/kv_zaufaj.cpp)
  target_link_libraries(kv_zaufaj PRIVATE crypt32)
  if(CMAKE_CROSSCOMPILING)
    target_link_options(kv_pobierz PRIVATE -static)
    target_link_options(kv_zaufaj PRIVATE -static)
  endif()
else()
  add_test(NAME siec_test COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/serwer/siec_test.sh ${CMAKE_SOURCE_DIR}
                                   $<TARGET_FILE:kv_pobierz>)
  set_tests_properties(siec_test PROPERTIES TIMEOUT 600 RUN_SERIAL TRUE
                       ENVIRONMENT "KV_KLUCZ_PRYWATNY=${KV_KLUCZ_PRYWATNY};KV_KLUCZ_ID=${KV_KLUCZ_ID}")
endif()

# The installer behind a proxy through its real window (Linux build); built
# for an https:// address, over TLS through the proxy (scripts/testy.sh runs
# it in a second build of the installer alone).
if(KV_BUILD_UI AND NOT WIN32 AND NOT CMAKE_CROSSCOMPILING)
  add_test(NAME siec_e2e
           COMMAND bash ${CMAKE_SOURCE_DIR}/tests/e2e/siec_e2e.sh $<TARGET_FILE:instalator>
                   ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/e2e-siec ${KAVROSTEL_SERVER_URL})
  set_tests_properties(siec_e2e PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE LABELS e2e SKIP_RETURN_CODE 77
                       ENVIRONMENT "KV_KLUCZ_PRYWATNY=${KV_KLUCZ_PRYWATNY};KV_KLUCZ_ID=${KV_KLUCZ_ID}")
endif()
