// The command line that opens the filter's help text: Notepad on "plugins\KantoraHelp.txt"
// in the folder of the host program. The 32-bit host's plug-ins live in that folder, the
// 64-bit host's in "plugins64"; one help text in "plugins" serves both.
//
// Built from the host's two path queries, which are passed in, so that the rules run and are
// tested without Windows. Every string lives in a fixed buffer of kHelpBufferSize bytes; when
// a result would not fit, or a query fails, nothing is built and nothing is opened.
#pragma once

#include <cstddef>

namespace kantora {

constexpr size_t kHelpBufferSize = 256;
constexpr unsigned long kHelpQueryCapacity = kHelpBufferSize - 1;

// The host's path queries, with the Windows semantics:
// - programFileName (GetModuleFileNameA of the main program): writes at most `capacity`
//   characters and returns the length written, 0 on failure, `capacity` when the name was cut;
// - fullPathName (GetFullPathNameA): returns the length written, 0 on failure, or the size it
//   would need (terminating zero included) when `capacity` is too small; sets *fileNamePart to
//   where the file name begins inside `buffer`, or to null when the path has none.
struct HostPathQueries {
    unsigned long (*programFileName)(char *buffer, unsigned long capacity);
    unsigned long (*fullPathName)(const char *name, unsigned long capacity, char *buffer,
                                  char **fileNamePart);
};

// Writes "<host folder>\plugins\KantoraHelp.txt" into helpPath and "Notepad " followed by that
// path, unquoted, into commandLine, and returns true; returns false when they cannot be built
// within the buffers. Never writes past either buffer.
bool BuildHelpCommand(const HostPathQueries &queries, char (&helpPath)[kHelpBufferSize],
                      char (&commandLine)[kHelpBufferSize]);

}  // namespace kantora
