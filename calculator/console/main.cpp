// mensurio-solve: entry point. The answer's bytes go out unchanged: on Windows the standard
// streams are switched to binary mode, so that a line feed is not written as CR LF.
#include "solve_cli.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char **argv) {
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stdin), _O_BINARY);
#endif
    std::vector<std::string> args(argv + 1, argv + argc);
    const int status = mensurio::RunSolveCli(args, std::cin, std::cout, std::cerr);
    std::cout.flush();
    return status;
}
