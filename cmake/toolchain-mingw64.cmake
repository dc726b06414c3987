# Cross build for 64-bit Windows with MinGW-w64: the build that is shipped
# and tested under Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TAVIO_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

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
