#include "printable_text.h"

#include <cstdint>
#include <cstdio>

namespace kantora {

namespace {

// Length of the valid UTF-8 sequence at text[at], or 0 when it is not one: no overlong forms,
// no surrogates, nothing beyond U+10FFFF.
size_t Utf8Length(std::string_view text, size_t at) {
    const auto byte = [&](size_t k) { return static_cast<uint8_t>(text[at + k]); };
    const uint8_t lead = byte(0);
    size_t length = 0;
    uint32_t code = 0;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (at + length > text.size())
        return 0;
    for (size_t k = 1; k < length; ++k) {
        if ((byte(k) & 0xC0) != 0x80)
            return 0;
        code = code << 6 | (byte(k) & 0x3F);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return overlong || surrogate || code > 0x10FFFF ? 0 : length;
}

// Whether the valid UTF-8 character of `length` bytes at text[at] is a control: below 0x20,
// 0x7F, or U+0080 to U+009F, which some terminals take as escape sequences too.
bool IsControl(std::string_view text, size_t at, size_t length) {
    const uint8_t lead = static_cast<uint8_t>(text[at]);
    if (length == 1)
        return lead < 0x20 || lead == 0x7F;
    return length == 2 && lead == 0xC2 && static_cast<uint8_t>(text[at + 1]) < 0xA0;
}

bool NeedsEscapes(std::string_view text) {
    for (size_t at = 0; at < text.size();) {
        const size_t length = Utf8Length(text, at);
        if (length == 0 || IsControl(text, at, length))
            return true;
        at += length;
    }
    return false;
}

std::string Escaped(uint8_t byte) {
    switch (byte) {
    case '\r':
        return "\\r";
    case '\n':
        return "\\n";
    case '\t':
        return "\\t";
    case 0x1B:
        return "\\e";
    case '\\':
        return "\\\\";
    default:
        break;
    }
    char hex[5];
    std::snprintf(hex, sizeof hex, "\\x%02X", byte);
    return hex;
}

}  // namespace

std::string Printable(std::string_view text, size_t limit) {
    const bool escapes = NeedsEscapes(text);
    std::string shown;
    size_t characters = 0;
    for (size_t at = 0; at < text.size();) {
        const size_t length = Utf8Length(text, at);
        const size_t bytes = length == 0 ? 1 : length;  // a byte that is not UTF-8 stands alone
        const bool escaped =
            escapes && (length == 0 || IsControl(text, at, length) || text[at] == '\\');
        // What stands for one character of the text counts as one, escaped or not.
        if (characters == limit)
            return shown + "...";
        if (escaped) {
            for (size_t k = 0; k < bytes; ++k)
                shown += Escaped(static_cast<uint8_t>(text[at + k]));
        } else {
            shown.append(text.substr(at, bytes));
        }
        ++characters;
        at += bytes;
    }
    return shown;
}

}  // namespace kantora
