# cmake -DBUILD_DIR=... -DTARGET=... -P build_plugin64.cmake
# Brings the 64-bit plug-in of the bundle up to date in its own build tree: that file, and
# no copy of it, is the one the 64-bit build's tests run under Wine.
if(NOT EXISTS "${BUILD_DIR}/CMakeCache.txt")
  message(FATAL_ERROR "the bundle takes the 64-bit plug-in from ${BUILD_DIR}, which is not "
                      "configured: run `cmake --preset win64` in the source folder first")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" --build "${BUILD_DIR}" --target "${TARGET}" --parallel 2
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "building ${TARGET} in ${BUILD_DIR} failed")
endif()
