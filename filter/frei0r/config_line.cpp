#include "config_line.h"

#include "border_settings_text.h"
#include "printable_text.h"

namespace kantora::frei0r {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::string CommasForBlanks(std::string_view text) {
    const size_t open = text.find('(');
    if (open == std::string_view::npos)
        return std::string(text);
    std::string out(text.substr(0, open + 1));
    int depth = 1;
    char last = '(';    // the last character written that is not a blank
    bool sign = false;  // `last` is a sign before its number: "- 1" is one argument
    for (size_t at = open + 1; at < text.size();) {
        const char c = text[at];
        if (depth > 0 && IsBlank(c)) {
            size_t end = at;
            while (end < text.size() && IsBlank(text[end]))
                ++end;
            const char next = end < text.size() ? text[end] : ')';
            const bool between =
                depth == 1 && last != '(' && last != ',' && !sign && next != ',' && next != ')';
            if (between) {
                out += ", ";
                last = ',';
            } else {
                out.append(text.substr(at, end - at));
            }
            at = end;
            continue;
        }
        if (depth > 0) {
            depth += c == '(' ? 1 : c == ')' ? -1 : 0;
            sign = (c == '-' || c == '+') && (last == '(' || last == ',');
            last = c;
        }
        out += c;
        ++at;
    }
    return out;
}

Expected<BorderSettings> SettingsFromConfigLine(std::string_view text) {
    // Messages name the line as the reader read it, so that their columns count in it.
    const std::string line = CommasForBlanks(text);
    Expected<SettingsFromText> read = ReadBorderSettings(line, Printable(line));
    if (!read)
        return read.failure();
    return read->settings;
}

}  // namespace kantora::frei0r
