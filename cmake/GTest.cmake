# GoogleTest: native builds link Debian's prebuilt libraries (libgtest-dev); mingw and -m32
# cannot, so they compile Debian's sources with their own compiler and flags.
if(NOT KANTORA_WINDOWS AND NOT KANTORA_32BIT AND NOT CMAKE_CROSSCOMPILING)
  find_package(GTest REQUIRED)
  return()
endif()

set(KANTORA_GTEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest source tree")
if(NOT EXISTS "${KANTORA_GTEST_SOURCE}/CMakeLists.txt")
  message(FATAL_ERROR "GoogleTest sources not found in ${KANTORA_GTEST_SOURCE}: install Debian's googletest package (scripts/install-deps.sh does).")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory("${KANTORA_GTEST_SOURCE}" "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)
