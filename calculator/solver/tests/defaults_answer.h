// The answer to the calculator's start values (704x576 standard PAL to 640x480 square pixels): the
// solver, the console program and the dialog must each give this very text.
#pragma once

namespace mensurio {

inline constexpr char kDefaultsAnswer[] =
    "Solution 1: (adjust source width)\n"
    "Clip or pad source size to 702x576 and resize to 640x480\n"
    "- new source size is 99.72% of desired size\n"
    "- resized to 75.97% of new source size\n"
    "\n"
    "Solution 2: (adjust source height)\n"
    "Clip or pad source size to 704x558 and resize to 640x464\n"
    "- new source size is 96.88% of desired size\n"
    "- resized to 75.59% of new source size\n";

}  // namespace mensurio
