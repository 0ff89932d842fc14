# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (the posix thread model, whose
# libstdc++ has std::thread), for freeglut and the program alike.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(LUMENFOLD_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${LUMENFOLD_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LUMENFOLD_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${LUMENFOLD_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${LUMENFOLD_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
