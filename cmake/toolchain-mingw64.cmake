# Cross build for 64-bit Windows with MinGW-w64 (posix thread model, which
# std::thread and friends need with GCC 12). The runtime is linked statically
# so the programs run under Wine or on Windows without extra DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TAVIO_MINGW_TRIPLE x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${TAVIO_MINGW_TRIPLE}-gcc-posix ${TAVIO_MINGW_TRIPLE}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${TAVIO_MINGW_TRIPLE}-g++-posix ${TAVIO_MINGW_TRIPLE}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${TAVIO_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TAVIO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# -static also takes libwinpthread, which the posix thread model brings in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test programs run under Wine, in a prefix of the build's own; ctest and
# gtest_discover_tests both go through the emulator.
if(NOT DEFINED CMAKE_CROSSCOMPILING_EMULATOR)
  find_program(TAVIO_WINE NAMES wine wine64 wine-stable)
  find_program(TAVIO_ENV env)
  if(TAVIO_WINE AND TAVIO_ENV)
    set(CMAKE_CROSSCOMPILING_EMULATOR
        ${TAVIO_ENV} WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix ${TAVIO_WINE})
  endif()
endif()
