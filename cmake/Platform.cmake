# What kind of build this is, and the flags every target shares.
#   KANTORA_WINDOWS   PE files (mingw-w64)
#   KANTORA_32BIT     32-bit pointers
#   KANTORA_RUN_TESTS the test programs can run here (natively, under qemu-i386 or Wine)
#   KANTORA_FEW_PROCESSES every test process costs about a minute: tests are grouped
if(WIN32)
  set(KANTORA_WINDOWS ON)
else()
  set(KANTORA_WINDOWS OFF)
endif()
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(KANTORA_32BIT ON)
else()
  set(KANTORA_32BIT OFF)
endif()

# The 32-bit Windows release runs here only through its emulator (cmake/wine32-run.sh: 32-bit
# Wine on qemu-i386), whose every start is emulated; everything else runs directly.
set(KANTORA_RUN_TESTS ON)
set(KANTORA_FEW_PROCESSES OFF)
if(KANTORA_WINDOWS AND KANTORA_32BIT)
  set(KANTORA_FEW_PROCESSES ON)
  if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
    set(KANTORA_RUN_TESTS OFF)
  endif()
endif()

add_compile_options(-Wall -Wextra)

if(KANTORA_WINDOWS)
  # Only system DLLs beside the deliverables: the C++ runtime, libgcc and winpthread go in.
  add_link_options(-static -static-libgcc -static-libstdc++)
  # C99 printf everywhere, so that every build prints numbers alike.
  add_compile_definitions(__USE_MINGW_ANSI_STDIO=1 WIN32_LEAN_AND_MEAN NOMINMAX)
endif()

if(KANTORA_32BIT AND CMAKE_SYSTEM_PROCESSOR MATCHES "^(i.86|x86)$")
  # Real arithmetic in SSE2 registers, one rounding per operation, as on 64-bit.
  add_compile_options(-msse2 -mfpmath=sse)
endif()

# Linux: hardened as Debian builds its packages (fortified libc calls, a read-only GOT), where
# no sanitizer brings its own checks.
if(NOT KANTORA_WINDOWS AND NOT KANTORA_SANITIZE AND NOT KANTORA_FUZZ)
  add_compile_definitions($<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
  add_link_options(-Wl,-z,relro,-z,now)
endif()

if(KANTORA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(KANTORA_FUZZ)
  # Coverage feedback for libFuzzer in every library; the fuzz targets link the fuzzer itself.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
