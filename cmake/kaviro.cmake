# Build-wide settings shared by every subsystem.

if(WIN32)
  set(KAVIRO_WINDOWS ON)
  set(KAVIRO_NATIVE OFF)
  if(NOT KAVIRO_ARCH)
    message(FATAL_ERROR "Windows builds need one of the cmake/toolchain-mingw*.cmake files")
  endif()
  set(KAVIRO_DIST_DIR ${CMAKE_SOURCE_DIR}/dist/${KAVIRO_ARCH})
  # Static runtime: the engine and its tools need no MinGW DLLs beside them.
  string(APPEND CMAKE_EXE_LINKER_FLAGS " -static -static-libgcc -static-libstdc++")
  string(APPEND CMAKE_SHARED_LINKER_FLAGS " -static -static-libgcc -static-libstdc++")
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
else()
  set(KAVIRO_WINDOWS OFF)
  set(KAVIRO_NATIVE ON)
  set(KAVIRO_ARCH host)
  set(KAVIRO_DIST_DIR ${CMAKE_SOURCE_DIR}/dist/host)
endif()

if(KAVIRO_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "KAVIRO_FUZZ needs clang (CXX=clang++)")
  endif()
  # Every library is instrumented for coverage; only fuzz targets link the driver.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -g)
  add_link_options(-fsanitize=address,undefined)
endif()

# Warnings as errors on every target of ours.
function(kaviro_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # GCC 12 reports false -Wrestrict overlaps inside std::string concatenation
    # at -O2 and above (GCC bug 105329).
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
  target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
endfunction()

# A static library of portable code (no <windows.h>): built natively and for Windows.
function(kaviro_library name)
  add_library(${name} STATIC ${ARGN})
  kaviro_defaults(${name})
endfunction()

# Places a Windows artifact at its fixed path under dist/<arch>/.
function(kaviro_dist target)
  set_target_properties(${target} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${KAVIRO_DIST_DIR}
    LIBRARY_OUTPUT_DIRECTORY ${KAVIRO_DIST_DIR})
endfunction()

# Adds every immediate subfolder that has a CMakeLists.txt, so subsystems can
# add test folders without touching a shared list.
function(kaviro_add_subfolders)
  file(GLOB children CONFIGURE_DEPENDS LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child ${children})
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${child} AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()
