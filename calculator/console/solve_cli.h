// mensurio-solve: the size solver on the command line (no window).
#pragma once
#include <iosfwd>
#include <string>
#include <vector>

namespace mensurio {

// Exit statuses of mensurio-solve.
constexpr int kExitSolution = 0;         // a solution was printed
constexpr int kExitIncorrectValues = 1;  // "Incorrect values" was printed
constexpr int kExitUsage = 2;            // a usage error: one line on the error stream

// Runs mensurio-solve with the arguments after the program name. Writes the answer to
// `out`, the one-line usage errors to `err`, and reads `in` only in --batch mode.
int RunSolveCli(const std::vector<std::string> &args, std::istream &in, std::ostream &out,
                std::ostream &err);

// The --batch separator line that follows every answer.
extern const char *const kBatchSeparator;

}  // namespace mensurio
