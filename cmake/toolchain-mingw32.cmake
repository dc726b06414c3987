# Cross build for 32-bit Windows with MinGW-w64. It is compiled to keep the
# code 32-bit clean, but neither run nor shipped: this machine's kernel runs
# no 32-bit code, so Wine cannot test it.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TAVIO_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
