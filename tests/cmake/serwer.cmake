# The distribution server kit (server/) with nginx: an integration test of the
# download against it, a test of the kit's scripts, and the download
# benchmark. POSIX only: the kit is shell scripts around Debian's nginx.
#
# Every release a test packs for the built installer is signed with the
# build's throw-away key: KV_KLUCZ_PRYWATNY and KV_KLUCZ_ID (cmake/Klucze.cmake),
# handed to the tests in their environment. A build given the maker's own
# public keys has no such private key, and its packing tests fail saying so.
if(NOT DEFINED KV_KLUCZ_PRYWATNY OR NOT DEFINED KV_KLUCZ_ID)
  message(WARNING "KV_KLUCZ_PRYWATNY/KV_KLUCZ_ID are not defined: the tests that pack a release cannot sign it")
endif()
set(KV_OTOCZENIE_KLUCZA "KV_KLUCZ_PRYWATNY=${KV_KLUCZ_PRYWATNY}" "KV_KLUCZ_ID=${KV_KLUCZ_ID}")

if(NOT WIN32)
  add_library(kv_zestaw_serwera STATIC ${CMAKE_CURRENT_SOURCE_DIR}/serwer/ZestawSerwera.cpp)
  target_include_directories(kv_zestaw_serwera PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/serwer)
  target_compile_definitions(kv_zestaw_serwera PRIVATE KV_ZRODLA="${CMAKE_SOURCE_DIR}"
                             KV_KLUCZ_PRYWATNY_BUDOWY="${KV_KLUCZ_PRYWATNY}" KV_KLUCZ_ID_BUDOWY="${KV_KLUCZ_ID}")

  add_executable(serwer_nginx_test ${CMAKE_CURRENT_SOURCE_DIR}/serwer/serwer_nginx_test.cpp)
  target_link_libraries(serwer_nginx_test PRIVATE kv_zestaw_serwera kv_wsparcie_testow GTest::gtest_main)
  target_compile_definitions(serwer_nginx_test PRIVATE KV_ZRODLA_TESTOW="${CMAKE_CURRENT_SOURCE_DIR}")
  target_include_directories(serwer_nginx_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/posix
                             ${CMAKE_SOURCE_DIR}/platform/posix)
  add_test(NAME serwer_nginx_test COMMAND serwer_nginx_test)
  add_test(NAME serwer_zestaw_test
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/serwer/zestaw_test.sh ${CMAKE_SOURCE_DIR})
  set_tests_properties(serwer_nginx_test serwer_zestaw_test PROPERTIES TIMEOUT 300
                       ENVIRONMENT "${KV_OTOCZENIE_KLUCZA}")

  # Prints figures; not a test. Run: build-dir/tests/pobieranie_bench
  add_executable(pobieranie_bench ${CMAKE_SOURCE_DIR}/bench/pobieranie_bench.cpp)
  target_link_libraries(pobieranie_bench PRIVATE kv_zestaw_serwera kv_wsparcie_testow)
  target_include_directories(pobieranie_bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/posix
                             ${CMAKE_SOURCE_DIR}/platform/posix)
endif()
