// Whether two paths name the same file (the same device and file number, through links too),
// so that an output never overwrites the input it is made from.
#pragma once

#include <string>

// False when either path names no existing file.
bool SameFile(const std::string &first, const std::string &second);
