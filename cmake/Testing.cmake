# kantora_add_gtest(NAME SOURCES... [LIBS libs...])
# A GoogleTest program registered as one CTest test. In cross builds CMake puts the
# emulator (qemu-i386 or the Wine wrapper) in front of it.
function(kantora_add_gtest name)
  if(NOT (BUILD_TESTING AND KANTORA_RUN_TESTS))
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES} ${ARG_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES TIMEOUT 900)
endfunction()

# kantora_wrap_emulator(OUT_VAR) - the emulator command line for running this build's own
# programs from a script test, empty for native builds.
function(kantora_emulator out)
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    set(${out} "${CMAKE_CROSSCOMPILING_EMULATOR}" PARENT_SCOPE)
  else()
    set(${out} "" PARENT_SCOPE)
  endif()
endfunction()
