# The Windows files come out byte for byte the same whoever builds them and wherever: the
# linker writes no time stamp, the compiler names no build folder, and no symbols are kept
# (the static runtime's debug sections would otherwise come along).
if(KANTORA_WINDOWS)
  add_compile_options(-ffile-prefix-map=${CMAKE_BINARY_DIR}=build
                      -ffile-prefix-map=${CMAKE_SOURCE_DIR}=.)
  add_link_options(-Wl,--no-insert-timestamp -s)
endif()
