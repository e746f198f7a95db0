// What the two readers of script text share: lines split as the host writes them, and a
// cursor over one line that says what it found where it expected something else.
#pragma once

#include <cctype>
#include <cstddef>
#include <string>
#include <string_view>

inline bool IsIdentifierStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}
inline bool IsIdentifierChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Calls `each(content, lineNumber)` for every line of the text, "\n" or "\r\n" ended, numbered
// from 1; a last line without a line end counts, an empty text has none.
template <class EachLine>
void ForEachLine(std::string_view text, EachLine each) {
    int line = 0;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view content = text.substr(start, end - start);
        if (!content.empty() && content.back() == '\r')
            content.remove_suffix(1);
        each(content, ++line);
        start = end + 1;
    }
}

// A position in one line of script text.
class LineCursor {
protected:
    LineCursor(std::string_view text, int line) : text_(text), line_(line) {}

    bool AtEnd() const { return pos_ >= text_.size(); }
    char Peek() const { return PeekAt(0); }
    char PeekAt(size_t ahead) const {
        return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0';
    }
    void SkipBlanks() {
        while (!AtEnd() && (Peek() == ' ' || Peek() == '\t'))
            ++pos_;
    }
    int Column(size_t pos) const { return static_cast<int>(pos) + 1; }

    // The character at the cursor as an error message names it.
    std::string Found() const {
        if (AtEnd())
            return "the end of the line";
        const unsigned char c = static_cast<unsigned char>(Peek());
        if (c < 0x20 || c >= 0x7F) {
            static const char hex[] = "0123456789ABCDEF";
            return std::string("byte 0x") + hex[c >> 4] + hex[c & 15];
        }
        return std::string("'") + static_cast<char>(c) + "'";
    }

    std::string_view text_;
    int line_;
    size_t pos_ = 0;
};
