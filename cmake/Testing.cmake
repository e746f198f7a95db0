# kantora_add_gtest(NAME SOURCES... [LIBS libs...] [PORTABLE])
# A GoogleTest program registered as one CTest test. In cross builds CMake puts the
# emulator (qemu-i386 or the Wine wrapper) in front of it.
# Where every process costs about a minute to start (KANTORA_FEW_PROCESSES: the 32-bit Windows
# release under 32-bit Wine on qemu-i386), only the PORTABLE tests (the portable core's: plain
# functions, no window, no other process) run, all of them in one program that kantora_add_grouped_gtest makes at the end.
function(kantora_add_gtest name)
  if(NOT (BUILD_TESTING AND KANTORA_RUN_TESTS))
    return()
  endif()
  cmake_parse_arguments(ARG "PORTABLE" "" "SOURCES;LIBS" ${ARGN})
  set(sources ${ARG_SOURCES} ${ARG_UNPARSED_ARGUMENTS})
  if(KANTORA_FEW_PROCESSES)
    if(ARG_PORTABLE)
      list(TRANSFORM sources PREPEND "${CMAKE_CURRENT_SOURCE_DIR}/")
      set_property(GLOBAL APPEND PROPERTY KANTORA_GROUPED_TEST_SOURCES ${sources})
      set_property(GLOBAL APPEND PROPERTY KANTORA_GROUPED_TEST_LIBS ${ARG_LIBS})
    endif()
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES TIMEOUT 900)
endfunction()

# kantora_add_grouped_gtest(NAME [COMPILE_OPTIONS options...]) - the one program of the
# PORTABLE tests gathered above, where processes are few; nothing elsewhere.
function(kantora_add_grouped_gtest name)
  get_property(sources GLOBAL PROPERTY KANTORA_GROUPED_TEST_SOURCES)
  if(NOT (BUILD_TESTING AND KANTORA_RUN_TESTS AND KANTORA_FEW_PROCESSES) OR NOT sources)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "COMPILE_OPTIONS" ${ARGN})
  get_property(libs GLOBAL PROPERTY KANTORA_GROUPED_TEST_LIBS)
  list(REMOVE_DUPLICATES libs)
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${libs} GTest::gtest_main)
  target_compile_options(${name} PRIVATE ${ARG_COMPILE_OPTIONS})
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

# KANTORA_HOST_WRAPPER - what goes in front of another program (gst-launch-1.0, gst-inspect-1.0)
# that loads one of this build's plug-ins: in the sanitizer build the sanitizers' runtime must
# be loaded first; GLib's and GStreamer's own blocks live to the end, so leaks are valgrind's
# to find there. Empty in every other build.
set(KANTORA_HOST_WRAPPER "")
if(KANTORA_SANITIZE)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libasan.so
                  OUTPUT_VARIABLE _asan OUTPUT_STRIP_TRAILING_WHITESPACE)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libubsan.so
                  OUTPUT_VARIABLE _ubsan OUTPUT_STRIP_TRAILING_WHITESPACE)
  set(KANTORA_HOST_WRAPPER "env LD_PRELOAD=${_asan}:${_ubsan} ASAN_OPTIONS=detect_leaks=0")
endif()
