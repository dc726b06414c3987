# Shared by the MinGW-w64 toolchain files, which set TAVIO_MINGW_TRIPLE and
# CMAKE_SYSTEM_PROCESSOR first. Debian's posix thread model is the one that
# std::thread and friends need with GCC 12.
set(CMAKE_SYSTEM_NAME Windows)

find_program(CMAKE_C_COMPILER NAMES ${TAVIO_MINGW_TRIPLE}-gcc-posix ${TAVIO_MINGW_TRIPLE}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${TAVIO_MINGW_TRIPLE}-g++-posix ${TAVIO_MINGW_TRIPLE}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${TAVIO_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TAVIO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every program is one file that runs on a bare Windows: the C++ runtime,
# libgcc and libwinpthread (which the posix thread model brings in) are
# linked in, so only Windows' own DLLs are imported.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
