# Cross build for 32-bit Windows with MinGW-w64. Built and checked statically;
# running it needs 32-bit Wine, which the test run does not install.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(NX_TRIPLET i686-w64-mingw32)
set(CMAKE_C_COMPILER ${NX_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${NX_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${NX_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${NX_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
