# The release files come out byte for byte the same whoever builds them and wherever.
# Windows: the linker writes no time stamp, the compiler names no build folder, and no symbols
# are kept (the static runtime's debug sections would otherwise come along).
if(KANTORA_WINDOWS)
  add_compile_options(-ffile-prefix-map=${CMAKE_BINARY_DIR}=build
                      -ffile-prefix-map=${CMAKE_SOURCE_DIR}=.)
  add_link_options(-Wl,--no-insert-timestamp -s)
else()
  # Linux: __FILE__ (GStreamer's debug log names the source file) without the build folder.
  # Debug information keeps its full paths, for debuggers; the Debian package is stripped.
  add_compile_options(-fmacro-prefix-map=${CMAKE_BINARY_DIR}=build
                      -fmacro-prefix-map=${CMAKE_SOURCE_DIR}=.)
endif()
