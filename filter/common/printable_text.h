// Text that came from outside (script text, names in settings files, file names, a container's
// metadata) as a message shows it: on one line, and unable to move the cursor, recolour or clear
// the user's terminal.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kantora {

// Outside text that holds no control character and is valid UTF-8 comes back as it is.
// Otherwise control characters (below 0x20, and 0x7F) are shown as \r, \n, \t, \e or \xHH, the
// C1 controls U+0080 to U+009F and each byte of invalid UTF-8 as \xHH bytes, and a backslash
// as \\, so that what is shown reads back unambiguously. Text longer than `limit` characters is cut
// there and ends with "...".
std::string Printable(std::string_view text, size_t limit = 80);

// The same, never cut, for text that a message must show whole and whose length is bounded
// elsewhere: a file name, which says which file to look at, or a library's own message.
inline std::string PrintableWhole(std::string_view text) { return Printable(text, text.size()); }

}  // namespace kantora
