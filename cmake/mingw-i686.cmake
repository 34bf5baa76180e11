# Cross build for 32-bit Windows with MinGW-w64 (posix thread model for std::mutex); tests run
# under 32-bit Wine.
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
# Tests run under Wine; the wrapper keeps one prefix per build tree.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
# Test discovery runs at test time, when the Wine prefix is ready.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
