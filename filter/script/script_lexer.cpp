#include "script_lexer.h"

#include <algorithm>
#include <cctype>

#include "printable_text.h"

namespace kantora {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }
bool IsNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

int HexValue(char c) {
    return IsDigit(c) ? c - '0' : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
}

constexpr std::string_view kPunctuation = "()[].,;=+-";
constexpr uint64_t kMagnitudeCap = uint64_t{1} << 33;  // above every 32-bit magnitude

}  // namespace

std::string FoundAt(std::string_view text, size_t pos) {
    if (pos >= text.size() || text[pos] == '\n' ||
        (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n'))
        return "the end of the line";
    // One character: the UTF-8 sequence its first byte announces, if its bytes follow, else
    // that byte.
    const unsigned char lead = static_cast<unsigned char>(text[pos]);
    const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    size_t end = 1;
    while (end < length && pos + end < text.size() &&
           (static_cast<unsigned char>(text[pos + end]) & 0xC0) == 0x80)
        ++end;
    return "'" + kantora::Printable(text.substr(pos, end == length ? length : 1)) + "'";
}

ScriptLexer::ScriptLexer(std::string_view text) : text_(text) {
    if (text_.substr(0, 3) == "\xEF\xBB\xBF")
        pos_ = lineStart_ = 3;  // columns count from after the mark
}

void ScriptLexer::SkipBlanksAndComments() {
    for (;;) {
        const char c = Peek();
        if (c == ' ' || c == '\t' || (c == '\r' && Peek(1) == '\n')) {
            ++pos_;
        } else if (c == '#' || (c == '/' && Peek(1) == '/')) {
            while (!AtEnd() && Peek() != '\n')
                ++pos_;
        } else {
            return;
        }
    }
}

void ScriptLexer::SkipLine() {
    while (!AtEnd() && Peek() != '\n')
        ++pos_;
}

Token ScriptLexer::Start(Token::Kind kind) const {
    Token token;
    token.kind = kind;
    token.line = line_;
    token.column = static_cast<int>(pos_ - lineStart_) + 1;
    token.begin = pos_;
    return token;
}

Token ScriptLexer::Finish(Token token) const {
    token.end = pos_;
    return token;
}

// A malformed token; the message's column is that of `at`.
Token ScriptLexer::Fail(Token token, size_t at, std::string what) {
    token.kind = Token::Error;
    token.column = static_cast<int>(at - lineStart_) + 1;
    token.text = std::move(what);
    return Finish(std::move(token));
}

Token ScriptLexer::Next() {
    SkipBlanksAndComments();
    if (AtEnd())
        return Finish(Start(Token::End));
    const char c = Peek();
    if (c == '\n') {
        Token token = Start(Token::LineEnd);
        ++pos_;
        ++line_;
        lineStart_ = pos_;
        return Finish(token);
    }
    if (IsDigit(c) || (c == '.' && IsDigit(Peek(1))))
        return ReadNumber(Start(Token::Integer));
    if (c == '"' || (c == 'U' && Peek(1) == '"'))
        return ReadString(Start(Token::String));
    if (IsNameStart(c)) {
        Token token = Start(Token::Name);
        while (IsNameChar(Peek()))
            ++pos_;
        token.text = std::string(text_.substr(token.begin, pos_ - token.begin));
        return Finish(token);
    }
    Token token = Start(Token::Punctuation);
    if (kPunctuation.find(c) == std::string_view::npos) {
        token.kind = Token::Unknown;  // the parser says what it expected instead
        token.text = FoundAt(text_, pos_);
    }
    token.punctuation = c;
    ++pos_;
    return Finish(token);
}

// Decimal integers (their magnitude; the sign is the parser's), hexadecimal ones of up to 8
// digits as their 32-bit pattern, as the host writes codes such as 0x64697678, and decimal
// fractions with an optional exponent, which only the host's own statements use.
Token ScriptLexer::ReadNumber(Token token) {
    if (Peek() == '0' && (Peek(1) == 'x' || Peek(1) == 'X')) {
        pos_ += 2;
        size_t digits = 0;
        while (IsHexDigit(Peek())) {
            token.magnitude = (token.magnitude << 4 | uint64_t(HexValue(Peek()))) & 0xFFFFFFFFFull;
            ++digits;
            ++pos_;
        }
        if (digits == 0)
            return Fail(token, pos_,
                        "expected hexadecimal digits after 0x, found " + FoundAt(text_, pos_));
        token.hexadecimal = true;
        token.text = std::string(text_.substr(token.begin, pos_ - token.begin));
        if (digits > 8)
            return Fail(token, token.begin,
                        "the number " + kantora::Printable(token.text) +
                            " is outside the 32-bit integer range");
        return Finish(token);
    }
    while (IsDigit(Peek())) {
        token.magnitude = std::min(token.magnitude * 10 + uint64_t(Peek() - '0'), kMagnitudeCap);
        ++pos_;
    }
    if (Peek() == '.') {
        token.kind = Token::Number;
        ++pos_;
        while (IsDigit(Peek()))
            ++pos_;
    }
    if ((Peek() == 'e' || Peek() == 'E') &&
        (IsDigit(Peek(1)) || ((Peek(1) == '-' || Peek(1) == '+') && IsDigit(Peek(2))))) {
        token.kind = Token::Number;
        pos_ += 2;
        while (IsDigit(Peek()))
            ++pos_;
    }
    token.text = std::string(text_.substr(token.begin, pos_ - token.begin));
    return Finish(token);
}

Token ScriptLexer::ReadString(Token token) {
    if (Peek() == 'U')
        ++pos_;
    const size_t open = pos_++;
    for (;;) {
        if (AtEnd() || Peek() == '\n' || (Peek() == '\r' && Peek(1) == '\n'))
            return Fail(token, open,
                        "the string that starts at column " +
                            std::to_string(open - lineStart_ + 1) +
                            " has no closing '\"' on its line");
        char c = text_[pos_++];
        if (c == '"')
            return Finish(token);
        if (c == '\\' && !AtEnd() && Peek() != '\n') {
            const char escaped = text_[pos_++];
            switch (escaped) {
            case 'n':
                c = '\n';
                break;
            case 't':
                c = '\t';
                break;
            case 'r':
                c = '\r';
                break;
            case '0':
                c = '\0';
                break;
            case 'x':
                if (!IsHexDigit(Peek()))
                    return Fail(
                        token, pos_,
                        "expected hexadecimal digits after \\x, found " + FoundAt(text_, pos_));
                c = 0;
                for (int k = 0; k < 2 && IsHexDigit(Peek()); ++k)
                    c = static_cast<char>(c << 4 | HexValue(text_[pos_++]));
                break;
            default:
                c = escaped;
                break;  // \\, \", \' and any other character stand for themselves
            }
        }
        token.text += c;
    }
}

}  // namespace kantora
