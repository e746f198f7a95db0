#include "script_call.h"

#include <optional>

#include "script_text.h"

namespace {

// Reads one line left to right; the first error ends the line.
class LineParser : LineCursor {
public:
    LineParser(std::string_view text, int line) : LineCursor(text, line) {}

    // No call on a blank or comment line; error_ is set when the line is malformed.
    std::optional<ScriptCall> Parse() {
        SkipBlanks();
        if (AtEnd() || Peek() == '#')
            return std::nullopt;
        ScriptCall call;
        call.line = line_;
        if (!ParseTarget(call) || !ParseArguments(call) || !ParseEnd())
            return std::nullopt;
        return call;
    }

    const std::optional<ScriptError> &error() const { return error_; }

private:
    // [object path '.'] function name: identifiers, each maybe indexed with [n], joined by '.'.
    bool ParseTarget(ScriptCall &call) {
        const size_t start = pos_;
        for (;;) {
            const size_t nameStart = pos_;
            if (!IsIdentifierStart(Peek()))
                return Expect(nameStart == start ? "a function name such as Config"
                                                   : "a name after '.'");
            while (IsIdentifierChar(Peek()))
                ++pos_;
            const std::string_view name = text_.substr(nameStart, pos_ - nameStart);
            const bool indexed = Peek() == '[';
            if (indexed && !ParseIndex())
                return false;
            if (Peek() == '.') {
                ++pos_;
                continue;
            }
            if (indexed)
                return Expect("'.' after ']'");
            SkipBlanks();
            if (Peek() != '(')
                return Expect("'(' after the function name");
            if (nameStart > start) {
                call.objectColumn = Column(start);
                call.objectPath = std::string(text_.substr(start, nameStart - 1 - start));
            }
            call.functionColumn = Column(nameStart);
            call.function = std::string(name);
            ++pos_;
            return true;
        }
    }

    bool ParseIndex() {
        ++pos_;  // '['
        if (!IsDigit(Peek()))
            return Expect("an index after '['");
        while (IsDigit(Peek()))
            ++pos_;
        if (Peek() != ']')
            return Expect("']' after the index");
        ++pos_;
        return true;
    }

    bool ParseArguments(ScriptCall &call) {
        SkipBlanks();
        if (Peek() == ')') {
            ++pos_;
            return true;
        }
        for (;;) {
            SkipBlanks();
            int32_t value = 0;
            if (!ParseInteger(value, call.arguments.size() + 1))
                return false;
            call.arguments.push_back(value);
            SkipBlanks();
            if (Peek() == ')') {
                ++pos_;
                return true;
            }
            if (Peek() != ',')
                return Expect("',' or ')' after argument " +
                                std::to_string(call.arguments.size()));
            ++pos_;
        }
    }

    // Optional sign and decimal digits, within the 32-bit range.
    bool ParseInteger(int32_t &value, size_t number) {
        const size_t start = pos_;
        const bool negative = Peek() == '-';
        if (Peek() == '-' || Peek() == '+')
            ++pos_;
        if (!IsDigit(Peek()))
            return Expect("an integer for argument " + std::to_string(number));
        const int64_t limit = negative ? int64_t{INT32_MAX} + 1 : int64_t{INT32_MAX};
        int64_t magnitude = 0;
        bool tooLarge = false;
        while (IsDigit(Peek())) {
            magnitude = magnitude * 10 + (Peek() - '0');
            if (magnitude > limit) {
                tooLarge = true;
                magnitude = limit + 1;  // keeps the sum bounded over any number of digits
            }
            ++pos_;
        }
        if (tooLarge) {
            error_ = ScriptError{line_, Column(start),
                                 "argument " + std::to_string(number) + " (" +
                                     std::string(text_.substr(start, pos_ - start)) +
                                     ") is outside the 32-bit integer range"};
            return false;
        }
        value = static_cast<int32_t>(negative ? -magnitude : magnitude);
        return true;
    }

    // After ')': an optional ';', then only blanks or a comment.
    bool ParseEnd() {
        SkipBlanks();
        if (Peek() == ';') {
            ++pos_;
            SkipBlanks();
        }
        if (!AtEnd() && Peek() != '#')
            return Expect("the end of the line after the call");
        return true;
    }

    bool Expect(const std::string &what) {
        error_ = ScriptError{line_, Column(pos_), "expected " + what + ", found " + Found()};
        return false;
    }

    std::optional<ScriptError> error_;
};

}  // namespace

ScriptParse ParseScript(std::string_view text) {
    ScriptParse result;
    ForEachLine(text, [&](std::string_view content, int line) {
        LineParser parser(content, line);
        if (std::optional<ScriptCall> call = parser.Parse())
            result.calls.push_back(std::move(*call));
        else if (parser.error())
            result.errors.push_back(*parser.error());
    });
    return result;
}
