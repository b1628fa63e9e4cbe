# The Windows build of the engine and the platform runs its GoogleTest
# programs under Wine (CMAKE_CROSSCOMPILING_EMULATOR of the toolchain file);
# scripts/testy-windows.sh prepares the Wine prefix and the test server.
if(WIN32)
  add_library(kv_testy_win32 STATIC ${CMAKE_CURRENT_SOURCE_DIR}/win32/Win32Testy.cpp)
  target_include_directories(kv_testy_win32 PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/win32)

  # Started by the shell test: leaves a mark next to itself and ends.
  add_executable(kv_znacznik ${CMAKE_CURRENT_SOURCE_DIR}/win32/narzedzia/znacznik.cpp)
  target_link_libraries(kv_znacznik PRIVATE kv_platforma)
  target_include_directories(kv_znacznik PRIVATE ${CMAKE_SOURCE_DIR}/platform/win32)
  # Writes a link through COM, or reads one and prints its fields: the
  # Windows half of the comparison of the two link writers.
  add_executable(kv_lnk_com ${CMAKE_CURRENT_SOURCE_DIR}/win32/narzedzia/lnk_com.cpp)
  target_link_libraries(kv_lnk_com PRIVATE kv_platforma)
  target_include_directories(kv_lnk_com PRIVATE ${CMAKE_SOURCE_DIR}/platform/win32)
  foreach(narzedzie kv_znacznik kv_lnk_com)
    if(MINGW)
      target_link_options(${narzedzie} PRIVATE -municode)  # wmain
    endif()
    if(CMAKE_CROSSCOMPILING)
      target_link_options(${narzedzie} PRIVATE -static)
    endif()
  endforeach()

  foreach(zrodlo ${KV_TESTY_GT})
    get_filename_component(nazwa ${zrodlo} NAME_WE)
    if(zrodlo MATCHES "/win32/")
      target_link_libraries(${nazwa} PRIVATE kv_testy_win32)
    endif()
    if(CMAKE_CROSSCOMPILING)
      add_test(NAME ${nazwa} COMMAND ${nazwa})
      set_tests_properties(${nazwa} PROPERTIES TIMEOUT 300)
    endif()
  endforeach()
  # Not a test: prints the WinHTTP client's pump cadence. Built on demand and
  # run under Wine by bench/pompowanie_wine.sh.
  add_executable(pompowanie_bench EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/bench/pompowanie_bench.cpp)
  target_link_libraries(pompowanie_bench PRIVATE kv_wsparcie_testow)
  if(CMAKE_CROSSCOMPILING)
    target_link_options(pompowanie_bench PRIVATE -static)
  endif()
  if(TARGET powloka_win32_test)
    add_dependencies(powloka_win32_test kv_znacznik)
  endif()
  if(TARGET manifest_win32_test)
    # The program's own resources, to check them from inside a process.
    target_sources(manifest_win32_test PRIVATE ${CMAKE_SOURCE_DIR}/app/instalator.rc)
    set_property(SOURCE ${CMAKE_SOURCE_DIR}/app/instalator.rc APPEND PROPERTY
                 OBJECT_DEPENDS ${CMAKE_SOURCE_DIR}/app/instalator.manifest)
    target_include_directories(manifest_win32_test PRIVATE ${CMAKE_SOURCE_DIR}/app)
  endif()
else()
  # The POSIX half of the comparison: a link written by the POSIX writer.
  # Built on demand only (scripts/testy-windows.sh).
  add_executable(kv_lnk_posix EXCLUDE_FROM_ALL ${CMAKE_CURRENT_SOURCE_DIR}/win32/narzedzia/lnk_posix.cpp)
  target_link_libraries(kv_lnk_posix PRIVATE kv_platforma)
endif()

# The Win32 backend of the forms: its own GoogleTest programs, with the
# program's resources (the manifest: common controls 6) as the installer has
# them. They open windows, so they run on an X display under Wine.
if(TARGET kv_ui_win32)
  file(GLOB KV_TESTY_OKIEN CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/win32/okna/*_test.cpp)
  foreach(zrodlo ${KV_TESTY_OKIEN})
    get_filename_component(nazwa ${zrodlo} NAME_WE)
    add_executable(${nazwa} ${zrodlo} ${CMAKE_SOURCE_DIR}/app/instalator.rc)
    target_link_libraries(${nazwa} PRIVATE kv_ui_win32 GTest::gtest_main)
    target_include_directories(${nazwa} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/win32/okna
                               ${CMAKE_SOURCE_DIR}/platform/win32 ${CMAKE_SOURCE_DIR}/app)
    set_property(SOURCE ${CMAKE_SOURCE_DIR}/app/instalator.rc APPEND PROPERTY
                 OBJECT_DEPENDS ${CMAKE_SOURCE_DIR}/app/instalator.manifest)
    if(CMAKE_CROSSCOMPILING)
      target_link_options(${nazwa} PRIVATE -static)
    endif()
    add_test(NAME ${nazwa} COMMAND ${nazwa})
    # One at a time: the foreground window, the pointer and the dialogs found
    # by their titles belong to the whole display.
    set_tests_properties(${nazwa} PROPERTIES TIMEOUT 300 LABELS okna RUN_SERIAL TRUE)
  endforeach()

  # The contract between the model and a backend (tests/kontrakt), against
  # this backend; tests/CMakeLists.txt runs the same cases against Qt.
  add_executable(kontrakt_win32_test ${CMAKE_CURRENT_SOURCE_DIR}/kontrakt/kontrakt_test.cpp
                 ${CMAKE_CURRENT_SOURCE_DIR}/kontrakt/SondaWin32.cpp ${CMAKE_SOURCE_DIR}/app/instalator.rc)
  target_link_libraries(kontrakt_win32_test PRIVATE kv_ui_win32 GTest::gtest_main)
  target_include_directories(kontrakt_win32_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/kontrakt
                             ${CMAKE_SOURCE_DIR}/platform/win32 ${CMAKE_SOURCE_DIR}/app)
  if(CMAKE_CROSSCOMPILING)
    target_link_options(kontrakt_win32_test PRIVATE -static)
  endif()
  add_test(NAME kontrakt_win32_test COMMAND kontrakt_win32_test)
  set_tests_properties(kontrakt_win32_test PROPERTIES TIMEOUT 300 LABELS okna RUN_SERIAL TRUE)
endif()
