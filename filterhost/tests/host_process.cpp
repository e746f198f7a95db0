#include "host_process.h"

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace filterhost {

namespace {

std::string Quoted(const std::string &text) {
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace

std::string ReadFile(const std::string &path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

void WriteFile(const std::string &path, const std::string &bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string WorkFolder(const std::string &name) {
    const std::filesystem::path folder = std::filesystem::path(FILTERHOST_TEST_WORK_DIR) / name;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder.string();
}

static HostRun RunProgram(const std::string &program, const std::vector<std::string> &arguments,
                          const std::string &stdinFile, const std::string &stdoutFile) {
    static const std::string kFolder = WorkFolder("runs");
    static int runs = 0;
    const std::string base = kFolder + "/" + std::to_string(++runs);
    const std::string outPath = stdoutFile.empty() ? base + ".out" : stdoutFile;
    std::string command = FILTERHOST_EMULATOR;
    // A checker to run each filterhost under, such as valgrind (see tests/CMakeLists.txt).
    if (const char *wrapper = std::getenv("FILTERHOST_WRAPPER"))
        command = wrapper + (command.empty() ? "" : " " + command);
    command += (command.empty() ? "" : " ") + Quoted(program);
    for (const std::string &argument : arguments)
        command += " " + Quoted(argument);
    command += " <" + (stdinFile.empty() ? std::string("/dev/null") : Quoted(stdinFile));
    command += " >" + Quoted(outPath) + " 2>" + Quoted(base + ".err");
    const int status = std::system(command.c_str());
    HostRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.out = stdoutFile.empty() ? ReadFile(outPath) : "";
    run.err = ReadFile(base + ".err");
    return run;
}

HostRun RunFilterHost(const std::vector<std::string> &arguments, const std::string &stdinFile,
                      const std::string &stdoutFile) {
    return RunProgram(FILTERHOST_PATH, arguments, stdinFile, stdoutFile);
}

HostRun RunFilterHostAt(const std::string &program, const std::vector<std::string> &arguments) {
    return RunProgram(program, arguments, "", "");
}

}  // namespace filterhost
