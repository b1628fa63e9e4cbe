# Cross build for 64-bit Windows with Debian's MinGW-w64 (packages
# g++-mingw-w64-x86-64 and wine64). The POSIX threads flavour of the compiler
# is used because only it provides std::thread and std::mutex; the choice is
# made here, by path, so the system-wide alternatives stay as they are.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KV_MINGW_TRIPLET x86_64-w64-mingw32)
find_program(KV_MINGW_CXX NAMES ${KV_MINGW_TRIPLET}-g++-posix ${KV_MINGW_TRIPLET}-g++ REQUIRED)
find_program(KV_MINGW_CC NAMES ${KV_MINGW_TRIPLET}-gcc-posix ${KV_MINGW_TRIPLET}-gcc REQUIRED)
find_program(KV_MINGW_WINDRES NAMES ${KV_MINGW_TRIPLET}-windres REQUIRED)

set(CMAKE_CXX_COMPILER ${KV_MINGW_CXX})
set(CMAKE_C_COMPILER ${KV_MINGW_CC})
set(CMAKE_RC_COMPILER ${KV_MINGW_WINDRES})

set(CMAKE_FIND_ROOT_PATH /usr/${KV_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Programs built here are Windows programs; Wine runs them when asked to
# (ctest, try_run).
find_program(KV_WINE NAMES wine wine64)
if(KV_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KV_WINE})
endif()

