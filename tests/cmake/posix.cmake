# The POSIX file system's benchmark. Prints figures; not a test.
# Run: build-dir/tests/pliki_posix_bench
if(NOT WIN32)
  add_executable(pliki_posix_bench ${CMAKE_SOURCE_DIR}/bench/pliki_posix_bench.cpp)
  target_link_libraries(pliki_posix_bench PRIVATE kv_platforma)
  target_include_directories(pliki_posix_bench PRIVATE ${CMAKE_SOURCE_DIR}/platform/posix)
endif()
