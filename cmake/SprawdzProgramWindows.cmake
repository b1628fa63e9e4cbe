# Checks a built Windows program (cmake -P): prints its size, fails when it
# is larger than LIMIT bytes, and fails when it imports any DLL that is not
# Windows' own, for the program must run from a bare folder on any Windows.
#   cmake -DPLIK=program.exe -DLIMIT=bytes -DOBJDUMP=objdump -P SprawdzProgramWindows.cmake
cmake_minimum_required(VERSION 3.25)
foreach(zmienna PLIK LIMIT OBJDUMP)
  if(NOT DEFINED ${zmienna})
    message(FATAL_ERROR "SprawdzProgramWindows: ${zmienna} is not set")
  endif()
endforeach()

file(SIZE "${PLIK}" rozmiar)
math(EXPR kib "(${rozmiar} + 1023) / 1024")
get_filename_component(nazwa "${PLIK}" NAME)
message(STATUS "${nazwa}: ${rozmiar} bytes (${kib} KiB)")
# A program that fails a check is removed, so that the next build checks it again.
if(rozmiar GREATER LIMIT)
  file(REMOVE "${PLIK}")
  message(FATAL_ERROR "${nazwa} is ${rozmiar} bytes, above the limit of ${LIMIT}")
endif()

# Windows' own DLLs the installer may import; anything else (the MinGW
# runtime's libwinpthread-1.dll, libstdc++-6.dll, libgcc_s_seh-1.dll, a
# framework's libraries) would have to travel with the program.
set(SYSTEMOWE
  advapi32.dll bcrypt.dll comctl32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll
  oleaut32.dll shell32.dll shlwapi.dll user32.dll uxtheme.dll version.dll
  windowscodecs.dll winhttp.dll winmm.dll)
execute_process(COMMAND "${OBJDUMP}" -p "${PLIK}" OUTPUT_VARIABLE opis RESULT_VARIABLE wynik)
if(NOT wynik EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} cannot read ${PLIK}")
endif()
string(REGEX MATCHALL "DLL Name: [^\r\n]+" importy "${opis}")
set(obce "")
set(wszystkie "")
foreach(wpis ${importy})
  string(REPLACE "DLL Name: " "" dll "${wpis}")
  string(TOLOWER "${dll}" dll)
  list(APPEND wszystkie ${dll})
  if(NOT dll IN_LIST SYSTEMOWE)
    list(APPEND obce ${dll})
  endif()
endforeach()
list(JOIN wszystkie " " wszystkie)
message(STATUS "${nazwa} imports: ${wszystkie}")
if(obce)
  file(REMOVE "${PLIK}")
  message(FATAL_ERROR "${nazwa} imports DLLs that are not Windows' own: ${obce}")
endif()
