#include "settings_syntax.h"

#include <algorithm>
#include <cctype>

#include "script_text.h"

namespace {

bool IsHexDigit(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

int HexValue(char c) {
    return IsDigit(c) ? c - '0' : (std::tolower(static_cast<unsigned char>(c)) - 'a' + 10);
}

// What a postfix chain such as a.b[1].c(2) turned out to be.
struct Chain {
    bool isPath = true;       // only names, '.' and indexes so far
    std::string path;         // the path's text, indexes written as [n]
    size_t lastNameAt = 0;    // where the last name starts in `path`
    int lastNameColumn = 0;
    int calls = 0;            // calls in the chain; a simple call has exactly one, at the end
    bool endsWithCall = false;
    SettingsStatement call;   // the last call seen
};

// Reads one line; statements are separated by ';'. The first error ends the line.
class LineParser : LineCursor {
public:
    LineParser(std::string_view text, int line, SettingsParse &out)
        : LineCursor(text, line), out_(out) {}

    void Parse() {
        for (;;) {
            SkipBlanks();
            if (AtComment())
                return;
            if (Peek() == ';') {
                ++pos_;
                continue;
            }
            if (!ParseStatement())
                return;
            SkipBlanks();
            if (Peek() == ';')
                ++pos_;
            else if (!AtComment())
                return (void)Expect("';' or the end of the line after the statement");
        }
    }

private:
    bool ParseStatement() {
        const size_t start = pos_;
        SettingsStatement statement;
        statement.line = line_;
        statement.column = Column(pos_);
        if (Word() == "declare") {
            pos_ += 7;
            SkipBlanks();
            if (!IsIdentifierStart(Peek()))
                return Expect("a name after declare");
            while (IsIdentifierChar(Peek()))
                ++pos_;
            out_.statements.push_back(statement);
            return true;
        }
        Chain chain;
        SettingsValue value;
        if (!ParseExpression(value, &chain))
            return false;
        SkipBlanks();
        bool assignment = false;
        if (Peek() == '=') {
            ++pos_;
            SkipBlanks();
            SettingsValue right;
            if (!ParseExpression(right, nullptr))
                return false;
            assignment = true;
        }
        statement.text = std::string(text_.substr(start, pos_ - start));
        if (!assignment && chain.calls == 1 && chain.endsWithCall) {
            chain.call.text = statement.text;
            chain.call.line = line_;
            chain.call.column = statement.column;
            chain.call.isCall = true;
            out_.statements.push_back(std::move(chain.call));
        } else {
            out_.statements.push_back(statement);
        }
        return true;
    }

    // A unary sign, a primary, then postfixes. `chain` (may be null) learns its shape.
    bool ParseExpression(SettingsValue &value, Chain *chain) {
        Chain local;
        Chain &shape = chain != nullptr ? *chain : local;
        const size_t start = pos_;
        value.column = Column(start);
        if (Peek() == '-' || Peek() == '+') {
            const bool negative = Peek() == '-';
            ++pos_;
            SkipBlanks();
            if (IsDigit(Peek()) || Peek() == '.')
                return ParseNumber(value, start, negative);
            SettingsValue operand;
            if (!ParseExpression(operand, nullptr))
                return false;
            value.kind = SettingsValue::Expression;
            value.text = std::string(text_.substr(start, pos_ - start));
            shape.isPath = false;
            return true;
        }
        if (!ParsePrimary(value, shape))
            return false;
        return ParsePostfixes(value, shape, start);
    }

    bool ParsePrimary(SettingsValue &value, Chain &shape) {
        const size_t start = pos_;
        if (IsDigit(Peek()) || (Peek() == '.' && IsDigit(PeekAt(1)))) {
            shape.isPath = false;
            return ParseNumber(value, start, false);
        }
        if (Peek() == '"' || (Peek() == 'U' && PeekAt(1) == '"')) {
            shape.isPath = false;
            if (Peek() == 'U')
                ++pos_;
            return ParseString(value);
        }
        if (Peek() == '(') {
            ++pos_;
            SkipBlanks();
            SettingsValue inner;
            if (!ParseExpression(inner, nullptr))
                return false;
            SkipBlanks();
            if (Peek() != ')')
                return Expect("')'");
            ++pos_;
            shape.isPath = false;
            value.kind = SettingsValue::Expression;
            return true;
        }
        if (!IsIdentifierStart(Peek()))
            return Expect("a name, a number or a string");
        while (IsIdentifierChar(Peek()))
            ++pos_;
        value.kind = SettingsValue::Name;
        value.text = std::string(text_.substr(start, pos_ - start));
        shape.path = value.text;
        shape.lastNameAt = 0;
        shape.lastNameColumn = Column(start);
        return true;
    }

    bool ParsePostfixes(SettingsValue &value, Chain &shape, size_t start) {
        const size_t primaryEnd = pos_;
        for (;;) {
            SkipBlanks();
            const char c = Peek();
            if (c == '.') {
                ++pos_;
                SkipBlanks();
                const size_t nameStart = pos_;
                if (!IsIdentifierStart(Peek()))
                    return Expect("a name after '.'");
                while (IsIdentifierChar(Peek()))
                    ++pos_;
                shape.lastNameAt = shape.path.size() + 1;
                shape.lastNameColumn = Column(nameStart);
                shape.path += "." + std::string(text_.substr(nameStart, pos_ - nameStart));
                shape.endsWithCall = false;
            } else if (c == '[') {
                ++pos_;
                SkipBlanks();
                SettingsValue index;
                if (!ParseExpression(index, nullptr))
                    return false;
                SkipBlanks();
                if (Peek() != ']')
                    return Expect("']' after the index");
                ++pos_;
                shape.path += "[" + (index.kind == SettingsValue::Integer
                                         ? std::to_string(index.integer)
                                         : index.text) + "]";
                shape.lastNameAt = std::string::npos;
                shape.endsWithCall = false;
            } else if (c == '(') {
                SettingsStatement &call = shape.call;
                call = SettingsStatement{};
                const bool named = shape.isPath && shape.lastNameAt != std::string::npos;
                if (named) {
                    call.function = shape.path.substr(shape.lastNameAt);
                    call.functionColumn = shape.lastNameColumn;
                    call.objectPath = shape.lastNameAt > 0
                                          ? shape.path.substr(0, shape.lastNameAt - 1)
                                          : std::string();
                }
                ++pos_;
                if (!ParseArguments(call.arguments))
                    return false;
                ++shape.calls;
                shape.endsWithCall = named;
                shape.isPath = false;
            } else {
                break;
            }
        }
        if (pos_ == primaryEnd)
            return true;  // a lone name, number or string
        if (!shape.isPath)
            value.kind = SettingsValue::Expression;
        value.text = std::string(text_.substr(start, pos_ - start));
        return true;
    }

    bool ParseArguments(std::vector<SettingsValue> &arguments) {
        SkipBlanks();
        if (Peek() == ')') {
            ++pos_;
            return true;
        }
        for (;;) {
            SkipBlanks();
            SettingsValue argument;
            if (!ParseExpression(argument, nullptr))
                return false;
            arguments.push_back(std::move(argument));
            SkipBlanks();
            if (Peek() == ')') {
                ++pos_;
                return true;
            }
            if (Peek() != ',')
                return Expect("',' or ')' after argument " + std::to_string(arguments.size()));
            ++pos_;
        }
    }

    // Decimal integers within 32 bits, hexadecimal ones of up to 8 digits (taken as the 32-bit
    // pattern, as the host does for codes such as 0x64697678), and decimal fractions.
    bool ParseNumber(SettingsValue &value, size_t start, bool negative) {
        const size_t digits = pos_;
        if (Peek() == '0' && (PeekAt(1) == 'x' || PeekAt(1) == 'X')) {
            pos_ += 2;
            uint64_t pattern = 0;
            size_t count = 0;
            while (IsHexDigit(Peek())) {
                pattern = (pattern << 4 | HexValue(Peek())) & 0xFFFFFFFFFull;
                ++count;
                ++pos_;
            }
            if (count == 0)
                return Expect("hexadecimal digits after 0x");
            if (count > 8)
                return OutOfRange(start);
            const uint32_t bits = static_cast<uint32_t>(negative ? 0u - pattern : pattern);
            value.kind = SettingsValue::Integer;
            value.integer = static_cast<int32_t>(bits);
            return true;
        }
        const int64_t limit = negative ? int64_t{INT32_MAX} + 1 : int64_t{INT32_MAX};
        int64_t magnitude = 0;
        while (IsDigit(Peek())) {
            magnitude = std::min<int64_t>(magnitude * 10 + (Peek() - '0'), limit + 1);
            ++pos_;
        }
        bool fraction = false;
        if (Peek() == '.') {
            fraction = true;
            ++pos_;
            while (IsDigit(Peek()))
                ++pos_;
        }
        if ((Peek() == 'e' || Peek() == 'E') &&
            (IsDigit(PeekAt(1)) || ((PeekAt(1) == '-' || PeekAt(1) == '+') && IsDigit(PeekAt(2))))) {
            fraction = true;
            pos_ += 2;
            while (IsDigit(Peek()))
                ++pos_;
        }
        if (pos_ == digits || (pos_ == digits + 1 && fraction && text_[digits] == '.'))
            return Expect("a number");
        value.text = std::string(text_.substr(start, pos_ - start));
        if (fraction) {
            value.kind = SettingsValue::Number;
            return true;
        }
        if (magnitude > limit)
            return OutOfRange(start);
        value.kind = SettingsValue::Integer;
        value.integer = static_cast<int32_t>(negative ? -magnitude : magnitude);
        return true;
    }

    bool ParseString(SettingsValue &value) {
        const size_t open = pos_;
        ++pos_;
        std::string text;
        for (;;) {
            if (AtEnd()) {
                error(open, "the string that starts at column " + std::to_string(Column(open)) +
                                " has no closing '\"' on its line");
                return false;
            }
            char c = text_[pos_++];
            if (c == '"')
                break;
            if (c == '\\') {
                if (AtEnd())
                    continue;
                const char e = text_[pos_++];
                switch (e) {
                case 'n': c = '\n'; break;
                case 't': c = '\t'; break;
                case 'r': c = '\r'; break;
                case '0': c = '\0'; break;
                case 'x':
                    if (!IsHexDigit(Peek()))
                        return Expect("hexadecimal digits after \\x");
                    c = 0;
                    for (int k = 0; k < 2 && IsHexDigit(Peek()); ++k)
                        c = static_cast<char>(c << 4 | HexValue(text_[pos_++]));
                    break;
                default: c = e; break;  // \\, \", \' and any other character stand for themselves
                }
            }
            text += c;
        }
        value.kind = SettingsValue::Text;
        value.text = std::move(text);
        return true;
    }

    bool OutOfRange(size_t start) {
        error(start, "the number " + std::string(text_.substr(start, pos_ - start)) +
                         " is outside the 32-bit integer range");
        return false;
    }

    bool Expect(const std::string &what) {
        error(pos_, "expected " + what + ", found " + Found());
        return false;
    }

    void error(size_t at, std::string what) {
        out_.errors.push_back(ScriptError{line_, Column(at), std::move(what)});
    }

    std::string_view Word() const {
        size_t end = pos_;
        while (end < text_.size() && IsIdentifierChar(text_[end]))
            ++end;
        return text_.substr(pos_, end - pos_);
    }

    bool AtComment() const {
        return AtEnd() || Peek() == '#' || (Peek() == '/' && PeekAt(1) == '/');
    }

    SettingsParse &out_;
};

}  // namespace

SettingsParse ParseSettings(std::string_view text) {
    SettingsParse result;
    ForEachLine(text, [&](std::string_view content, int line) {
        LineParser(content, line, result).Parse();
    });
    return result;
}
