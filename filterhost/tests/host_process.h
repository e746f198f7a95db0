// Runs filterhost as a separate process, the way a user or a script does, and collects what it
// prints. POSIX only: the command goes through /bin/sh.
#pragma once

#include <string>
#include <vector>

namespace filterhost {

struct HostRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// `stdinFile` empty: no standard input. Paths come from the build (see CMakeLists.txt).
HostRun RunFilterHost(const std::vector<std::string> &arguments, const std::string &stdinFile = "",
                      const std::string &stdoutFile = "");

// The same with another copy of the program file.
HostRun RunFilterHostAt(const std::string &program, const std::vector<std::string> &arguments);

std::string ReadFile(const std::string &path);
void WriteFile(const std::string &path, const std::string &bytes);
// A fresh, empty folder for one test's files.
std::string WorkFolder(const std::string &name);

}  // namespace filterhost
