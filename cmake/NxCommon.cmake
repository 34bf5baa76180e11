# Settings shared by every target of the suite.

# Warnings: on and clean, natively and for MinGW.
function(nx_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                           -Wno-sign-conversion)
  # GCC 12 reports overlapping copies inside its own std::string code at -O2, and (for i686)
  # members of a std::optional<std::variant> as used before being set: known false positives of
  # that release, which would hide real warnings among them.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-restrict)
    # Its -Wmaybe-uninitialized misreads std::optional<std::variant> in the MinGW builds (both
    # bitnesses since the value variant grew a tenth alternative).
    if(CMAKE_CROSSCOMPILING)
      target_compile_options(${target} PRIVATE -Wno-maybe-uninitialized)
    endif()
  endif()
endfunction()

if(NX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

if(NX_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

if(WIN32)
  enable_language(RC)
  include(NxControlLibrary)
  # Windows binaries import only system DLLs.
  add_link_options(-static -static-libgcc -static-libstdc++)
endif()

# GoogleTest: Debian's package natively, built from its sources for MinGW.
macro(nx_find_gtest)
  if(WIN32)
    if(NOT TARGET gtest)
      set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
      set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
      set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
      add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/_googletest EXCLUDE_FROM_ALL)
      if(NOT TARGET GTest::gtest)
        add_library(GTest::gtest ALIAS gtest)
        add_library(GTest::gtest_main ALIAS gtest_main)
      endif()
    endif()
  else()
    find_package(GTest REQUIRED)
  endif()
  include(GoogleTest)
endmacro()

# Adds a folder when it has a CMakeLists.txt; parts of the suite grow folder by folder.
# NX_SKIP lists folders to leave out of a build (for example "setup;widgets").
set(NX_SKIP "" CACHE STRING "Folders left out of the build")
function(nx_optional_subdir dir)
  get_filename_component(_name ${dir} NAME)
  if(_name IN_LIST NX_SKIP)
    return()
  endif()
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
    add_subdirectory(${dir})
  endif()
endfunction()
