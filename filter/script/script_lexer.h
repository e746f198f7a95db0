// The host's script language as tokens: names, integers (decimal, or 0x and up to eight
// hexadecimal digits taken as a 32-bit pattern), other numbers, strings ("..." and U"..." with
// backslash escapes), punctuation and line ends. Blanks, '//' and '#' comments, a UTF-8
// byte-order mark and the '\r' of "\r\n" are skipped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kantora {

struct Token {
    // Unknown: a byte that starts no token (`text` names it); Error: a malformed token, with
    // the whole message in `text`.
    enum Kind { Name, Integer, Number, String, Punctuation, LineEnd, End, Unknown, Error };
    Kind kind = End;
    int line = 1;
    int column = 1;
    size_t begin = 0;  // the token's bytes in the text
    size_t end = 0;
    std::string text;        // Name, Number: as written; String: escapes resolved
    char punctuation = 0;    // one of ( ) [ ] . , ; = + -
    uint64_t magnitude = 0;  // Integer: the decimal value (capped above 2^32) or the hex pattern
    bool hexadecimal = false;
};

class ScriptLexer {
public:
    explicit ScriptLexer(std::string_view text);

    // The next token; after End, End again.
    Token Next();
    // Skips what is left of the current line, up to its line end.
    void SkipLine();

private:
    char Peek(size_t ahead = 0) const {
        return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0';
    }
    bool AtEnd() const { return pos_ >= text_.size(); }
    void SkipBlanksAndComments();
    Token Start(Token::Kind kind) const;
    Token Finish(Token token) const;
    Token Fail(Token token, size_t at, std::string what);
    Token ReadNumber(Token token);
    Token ReadString(Token token);

    std::string_view text_;
    size_t pos_ = 0;
    size_t lineStart_ = 0;
    int line_ = 1;
};

// How a message names the character at `pos` of `text`, quoted as outside text is: 'x', '\r',
// '\x01', or "the end of the line".
std::string FoundAt(std::string_view text, size_t pos);

}  // namespace kantora
