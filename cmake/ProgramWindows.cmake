# The installer's program file for Windows, as a maker ships it: one file,
# linked statically (the POSIX-threads compiler would otherwise need
# libwinpthread-1.dll beside it), entered at wWinMain, without symbols. After
# every link the build log gives its size, and the build fails when the file
# grows above KV_LIMIT_PROGRAMU or imports a DLL that is not Windows' own
# (cmake/SprawdzProgramWindows.cmake). The aim is at most 1 MiB; the limit
# is a guard against regressions.
set(KV_LIMIT_PROGRAMU 2097152 CACHE STRING "Largest size in bytes the Windows program may have")

function(kv_program_windows cel)
  if(MINGW)
    target_link_options(${cel} PRIVATE -static -municode -s)
  endif()
  add_custom_command(TARGET ${cel} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DPLIK=$<TARGET_FILE:${cel}> -DLIMIT=${KV_LIMIT_PROGRAMU}
            -DOBJDUMP=${CMAKE_OBJDUMP} -P ${CMAKE_SOURCE_DIR}/cmake/SprawdzProgramWindows.cmake
    VERBATIM)
endfunction()
