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
  # Not a test either: what Wine's WinHTTP reaches with no window at all,
  # beside the client and the window in bench/pompowanie_wine.sh.
  add_executable(sufit_winhttp_bench EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/bench/sufit_winhttp_bench.cpp)
  target_link_libraries(sufit_winhttp_bench PRIVATE winhttp bcrypt)
  if(CMAKE_CROSSCOMPILING)
    target_link_options(sufit_winhttp_bench PRIVATE -static)
  endif()
  if(TARGET powloka_win32_test)
    add_dependencies(powloka_win32_test kv_znacznik)
  endif()
  if(TARGET manifest_win32_test)
    # The program's own resources, to check them from inside a process.
    include(${CMAKE_SOURCE_DIR}/cmake/ZasobyProgramu.cmake)
    kv_zasoby_programu(manifest_win32_test)
  endif()
  if(TARGET instalator AND CMAKE_CROSSCOMPILING)
    # The program file's resources read back with icoutils, as Explorer finds
    # them: the icon, the version fields, every resource tagged Polish.
    add_test(NAME zasoby_programu
             COMMAND python3 ${CMAKE_CURRENT_SOURCE_DIR}/win32/zasoby_programu_test.py $<TARGET_FILE:instalator>)
    # The README's run command with no display, a new home folder and a new
    # prefix: the licence page, an installation, Ctrl+C. It serves on the
    # build's own port and starts a display of its own.
    add_test(NAME uruchom_windows
             COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/uruchom_windows_test.sh ${CMAKE_SOURCE_DIR}
                     ${CMAKE_BINARY_DIR} ${CMAKE_BINARY_DIR}/uruchom)
    set_tests_properties(uruchom_windows PROPERTIES TIMEOUT 600 RUN_SERIAL TRUE)
    # The real program refusing a C:\KV-Tek of another user (root only).
    add_test(NAME folder_obcy_win32
             COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/folder_obcy_win32_test.sh $<TARGET_FILE:instalator>
                     ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/folder_obcy ${KAVROSTEL_SERVER_URL})
    set_tests_properties(folder_obcy_win32 PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE SKIP_RETURN_CODE 77)
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
  include(${CMAKE_SOURCE_DIR}/cmake/ZasobyProgramu.cmake)
  # Not a test: the same download through the installer's real window and
  # its pump. Built on demand, run under Wine by bench/pompowanie_wine.sh.
  add_executable(pompowanie_okna_bench EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/bench/pompowanie_okna_bench.cpp)
  kv_zasoby_programu(pompowanie_okna_bench)
  target_link_libraries(pompowanie_okna_bench PRIVATE kv_ui_win32 kv_formularze)
  target_include_directories(pompowanie_okna_bench PRIVATE ${CMAKE_SOURCE_DIR}/platform/win32
                             ${CMAKE_SOURCE_DIR}/app)
  if(CMAKE_CROSSCOMPILING)
    target_link_options(pompowanie_okna_bench PRIVATE -static)
  endif()
  file(GLOB KV_TESTY_OKIEN CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/win32/okna/*_test.cpp)
  foreach(zrodlo ${KV_TESTY_OKIEN})
    get_filename_component(nazwa ${zrodlo} NAME_WE)
    add_executable(${nazwa} ${zrodlo})
    target_link_libraries(${nazwa} PRIVATE kv_ui_win32 GTest::gtest_main)
    target_include_directories(${nazwa} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/win32/okna
                               ${CMAKE_CURRENT_SOURCE_DIR}/kontrakt ${CMAKE_SOURCE_DIR}/platform/win32)
    kv_zasoby_programu(${nazwa})
    if(CMAKE_CROSSCOMPILING)
      target_link_options(${nazwa} PRIVATE -static)
    endif()
    add_test(NAME ${nazwa} COMMAND ${nazwa})
    # One at a time: the foreground window, the pointer and the dialogs found
    # by their titles belong to the whole display.
    set_tests_properties(${nazwa} PROPERTIES TIMEOUT 300 LABELS okna RUN_SERIAL TRUE)
  endforeach()

  # The installer's forms at the screen's dpi.
  target_link_libraries(skala_win32_test PRIVATE kv_formularze kv_wsparcie_formularzy)
  if(TARGET instalator AND CMAKE_CROSSCOMPILING)
    # The same at 120, 144 and 192 dpi besides 96, in a prefix of its own,
    # and the real program photographed at each scale.
    add_test(NAME skala_win32
             COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/skala_win32_test.sh $<TARGET_FILE:instalator>
                     $<TARGET_FILE:skala_win32_test> ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/skala)
    set_tests_properties(skala_win32 PROPERTIES TIMEOUT 600 RUN_SERIAL TRUE)
  endif()

  # The contract between the model and a backend (tests/kontrakt), against
  # this backend; tests/CMakeLists.txt runs the same cases against Qt.
  add_executable(kontrakt_win32_test ${CMAKE_CURRENT_SOURCE_DIR}/kontrakt/kontrakt_test.cpp
                 ${CMAKE_CURRENT_SOURCE_DIR}/kontrakt/SondaWin32.cpp)
  kv_zasoby_programu(kontrakt_win32_test)
  target_link_libraries(kontrakt_win32_test PRIVATE kv_ui_win32 GTest::gtest_main)
  target_include_directories(kontrakt_win32_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/kontrakt
                             ${CMAKE_SOURCE_DIR}/platform/win32 ${CMAKE_SOURCE_DIR}/app)
  if(CMAKE_CROSSCOMPILING)
    target_link_options(kontrakt_win32_test PRIVATE -static)
  endif()
  add_test(NAME kontrakt_win32_test COMMAND kontrakt_win32_test)
  set_tests_properties(kontrakt_win32_test PROPERTIES TIMEOUT 300 LABELS okna RUN_SERIAL TRUE)
endif()
