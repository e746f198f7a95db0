#include "script_parser.h"

#include <cstdint>

#include "printable_text.h"
#include "script_lexer.h"

namespace kantora {

namespace {

// What a postfix chain such as a.b[1].c(2) turned out to be.
struct Chain {
    bool isPath = true;     // only names, '.' and indexes so far
    std::string path;       // the path's text, indexes written as [n]
    size_t lastNameAt = 0;  // where the last name starts in `path`; npos after an index
    int lastNameColumn = 0;
    int calls = 0;  // a simple call has exactly one, at the end
    bool endsWithCall = false;
    ScriptStatement call;  // the last call seen
};

// Thrown at the first syntax error of a line, which is then abandoned; it never leaves the
// parser.
struct SyntaxError {
    ScriptError error;
};

class Parser {
public:
    explicit Parser(std::string_view text) : text_(text), lexer_(text) { Advance(); }

    ParsedScript Parse() {
        ParsedScript result;
        while (token_.kind != Token::End) {
            try {
                ParseLine(result);
            } catch (const SyntaxError &e) {
                result.errors.push_back(e.error);
                SkipRestOfLine();
            }
        }
        return result;
    }

private:
    // Statements separated by ';' up to the end of the line.
    void ParseLine(ParsedScript &result) {
        for (;;) {
            if (token_.kind == Token::End)
                return;
            if (token_.kind == Token::LineEnd) {
                Advance();
                return;
            }
            if (Is(';')) {
                Advance();
                continue;
            }
            result.statements.push_back(ParseStatement());
            if (Is(';'))
                Advance();
            else if (token_.kind != Token::LineEnd && token_.kind != Token::End)
                Expect("';' or the end of the line after the statement");
        }
    }

    ScriptStatement ParseStatement() {
        const Token first = token_;
        ScriptStatement statement;
        statement.line = first.line;
        statement.column = first.column;
        if (token_.kind == Token::Name && token_.text == "declare") {
            Advance();
            if (token_.kind != Token::Name)
                Expect("a name after declare");
            Advance();
            statement.text = TextSince(first);
            return statement;
        }
        Chain chain;
        ScriptArgument value;
        ParseExpression(value, &chain);
        bool assignment = false;
        if (Is('=')) {
            Advance();
            ScriptArgument right;
            ParseExpression(right, nullptr);
            assignment = true;
        }
        statement.text = TextSince(first);
        if (!assignment && chain.calls == 1 && chain.endsWithCall) {
            chain.call.text = statement.text;
            chain.call.line = statement.line;
            chain.call.column = statement.column;
            chain.call.isCall = true;
            return std::move(chain.call);
        }
        return statement;
    }

    // A unary sign, a primary, then postfixes. `chain` (may be null) learns its shape.
    void ParseExpression(ScriptArgument &value, Chain *chain) {
        Chain local;
        Chain &shape = chain != nullptr ? *chain : local;
        const Token first = token_;
        value.column = first.column;
        if (Is('-') || Is('+')) {
            const bool negative = Is('-');
            Advance();
            shape.isPath = false;
            if (token_.kind == Token::Integer || token_.kind == Token::Number) {
                ParseNumber(value, first, negative);
                return;
            }
            ScriptArgument operand;
            ParseExpression(operand, nullptr);
            value.kind = ScriptArgument::Expression;
            value.text = TextSince(first);
            return;
        }
        ParsePrimary(value, shape, first);
        ParsePostfixes(value, shape, first);
    }

    void ParsePrimary(ScriptArgument &value, Chain &shape, const Token &first) {
        switch (token_.kind) {
        case Token::Integer:
        case Token::Number:
            shape.isPath = false;
            ParseNumber(value, first, false);
            return;
        case Token::String:
            shape.isPath = false;
            value.kind = ScriptArgument::Text;
            value.text = token_.text;
            Advance();
            return;
        case Token::Name:
            value.kind = ScriptArgument::Name;
            value.text = token_.text;
            shape.path = token_.text;
            shape.lastNameAt = 0;
            shape.lastNameColumn = token_.column;
            Advance();
            return;
        default:
            break;
        }
        if (!Is('('))
            Expect("a name, a number or a string");
        Advance();
        ScriptArgument inner;
        ParseExpression(inner, nullptr);
        if (!Is(')'))
            Expect("')'");
        Advance();
        shape.isPath = false;
        value.kind = ScriptArgument::Expression;
    }

    void ParsePostfixes(ScriptArgument &value, Chain &shape, const Token &first) {
        bool any = false;
        for (;; any = true) {
            if (Is('.')) {
                Advance();
                if (token_.kind != Token::Name)
                    Expect("a name after '.'");
                shape.lastNameAt = shape.path.size() + 1;
                shape.lastNameColumn = token_.column;
                shape.path += "." + token_.text;
                shape.endsWithCall = false;
                Advance();
            } else if (Is('[')) {
                Advance();
                ScriptArgument index;
                ParseExpression(index, nullptr);
                if (!Is(']'))
                    Expect("']' after the index");
                Advance();
                shape.path += "[" +
                              (index.kind == ScriptArgument::Integer ? std::to_string(index.integer)
                                                                     : index.text) +
                              "]";
                shape.lastNameAt = std::string::npos;
                shape.endsWithCall = false;
            } else if (Is('(')) {
                ScriptStatement &call = shape.call;
                call = ScriptStatement{};
                const bool named = shape.isPath && shape.lastNameAt != std::string::npos;
                if (named) {
                    call.function = shape.path.substr(shape.lastNameAt);
                    call.functionColumn = shape.lastNameColumn;
                    call.objectPath = shape.lastNameAt > 0
                                          ? shape.path.substr(0, shape.lastNameAt - 1)
                                          : std::string();
                }
                Advance();
                ParseArguments(call.arguments);
                ++shape.calls;
                shape.endsWithCall = named;
                shape.isPath = false;
            } else {
                break;
            }
        }
        if (!any)
            return;  // a lone name, number or string
        if (!shape.isPath)
            value.kind = ScriptArgument::Expression;
        value.text = TextSince(first);
    }

    void ParseArguments(std::vector<ScriptArgument> &arguments) {
        if (Is(')')) {
            Advance();
            return;
        }
        for (;;) {
            ScriptArgument argument;
            ParseExpression(argument, nullptr);
            arguments.push_back(std::move(argument));
            if (Is(')')) {
                Advance();
                return;
            }
            if (!Is(','))
                Expect("',' or ')' after argument " + std::to_string(arguments.size()));
            Advance();
        }
    }

    // Integers within 32 bits: decimal ones by value, hexadecimal ones as their bit pattern
    // (negated as such); other numbers as written.
    void ParseNumber(ScriptArgument &value, const Token &first, bool negative) {
        const Token number = token_;
        Advance();
        value.text = TextSince(first);
        if (number.kind == Token::Number) {
            value.kind = ScriptArgument::Number;
            return;
        }
        value.kind = ScriptArgument::Integer;
        if (number.hexadecimal) {
            const uint32_t pattern = static_cast<uint32_t>(number.magnitude);
            value.integer = static_cast<int32_t>(negative ? 0u - pattern : pattern);
            return;
        }
        const uint64_t limit = negative ? uint64_t{INT32_MAX} + 1 : uint64_t{INT32_MAX};
        if (number.magnitude > limit)
            throw SyntaxError{{first.line, first.column,
                               "the number " + kantora::Printable(value.text) +
                                   " is outside the 32-bit integer range"}};
        value.integer = static_cast<int32_t>(negative ? -static_cast<int64_t>(number.magnitude)
                                                      : static_cast<int64_t>(number.magnitude));
    }

    bool Is(char punctuation) const {
        return token_.kind == Token::Punctuation && token_.punctuation == punctuation;
    }

    // A malformed token is kept like any other; whatever looks at it finds it unexpected and
    // reports it by its own message.
    void Advance() {
        previousEnd_ = token_.end;
        token_ = lexer_.Next();
    }

    void SkipRestOfLine() {
        if (token_.kind != Token::LineEnd && token_.kind != Token::End) {
            lexer_.SkipLine();
            token_ = lexer_.Next();  // the line end, or the end of the text
        }
        if (token_.kind == Token::LineEnd)
            Advance();
    }

    [[noreturn]] void Expect(const std::string &what) const {
        if (token_.kind == Token::Error)
            throw SyntaxError{{token_.line, token_.column, token_.text}};
        throw SyntaxError{{token_.line, token_.column,
                           "expected " + what + ", found " + FoundAt(text_, token_.begin)}};
    }

    // The statement's or value's text from `first` to the last token taken.
    std::string TextSince(const Token &first) const {
        return std::string(text_.substr(first.begin, previousEnd_ - first.begin));
    }

    std::string_view text_;
    ScriptLexer lexer_;
    Token token_;
    size_t previousEnd_ = 0;
};

}  // namespace

ParsedScript ParseScript(std::string_view text) { return Parser(text).Parse(); }

}  // namespace kantora
