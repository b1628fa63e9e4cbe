# The distribution server kit (server/) with nginx: an integration test of the
# download against it, a test of the kit's scripts, and the download
# benchmark. POSIX only: the kit is shell scripts around Debian's nginx.
if(NOT WIN32)
  add_library(kv_zestaw_serwera STATIC ${CMAKE_CURRENT_SOURCE_DIR}/serwer/ZestawSerwera.cpp)
  target_include_directories(kv_zestaw_serwera PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/serwer)
  target_compile_definitions(kv_zestaw_serwera PRIVATE KV_ZRODLA="${CMAKE_SOURCE_DIR}")

  add_executable(serwer_nginx_test ${CMAKE_CURRENT_SOURCE_DIR}/serwer/serwer_nginx_test.cpp)
  target_link_libraries(serwer_nginx_test PRIVATE kv_zestaw_serwera kv_wsparcie_testow GTest::gtest_main)
  target_include_directories(serwer_nginx_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/posix
                             ${CMAKE_SOURCE_DIR}/platform/posix)
  add_test(NAME serwer_nginx_test COMMAND serwer_nginx_test)
  add_test(NAME serwer_zestaw_test
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/serwer/zestaw_test.sh ${CMAKE_SOURCE_DIR})
  set_tests_properties(serwer_nginx_test serwer_zestaw_test PROPERTIES TIMEOUT 120)

  # Prints figures; not a test. Run: build-dir/tests/pobieranie_bench
  add_executable(pobieranie_bench ${CMAKE_SOURCE_DIR}/bench/pobieranie_bench.cpp)
  target_link_libraries(pobieranie_bench PRIVATE kv_zestaw_serwera kv_wsparcie_testow)
  target_include_directories(pobieranie_bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/posix
                             ${CMAKE_SOURCE_DIR}/platform/posix)
endif()
