# 32-bit Linux (-m32): exercises the 32-bit layouts and arithmetic in tests, run by qemu-i386.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT "-m32")
set(CMAKE_CXX_FLAGS_INIT "-m32")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-m32")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-m32")
# On the oldest processor the 32-bit builds support: SSE2 without SSSE3, so that code paths
# chosen by a run-time check are tested on both sides, and an instruction used without its
# check fails.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-i386 -cpu coreduo)
