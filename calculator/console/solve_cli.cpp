// mensurio-solve: argument parsing and output; the arithmetic is all in mensurio_solver.
#include "solve_cli.h"

#include "size_solver.h"

#include <cctype>
#include <cstdint>
#include <istream>
#include <optional>
#include <ostream>
#include <sstream>

namespace mensurio {

const char *const kBatchSeparator = "%%";

namespace {

const char kProgram[] = "mensurio-solve";

struct UsageError {
    std::string message;
};

// The short names of the presets, by position; the second column holds aliases.
struct PresetName {
    const char *name;
    const char *alias;
};
const PresetName kPresetNames[kPixelAspectCount] = {
    {"pal", "standard-pal"},        {"ntsc", "standard-ntsc"},
    {"pal-wide", "anamorphic-pal"}, {"ntsc-wide", "anamorphic-ntsc"},
    {"svcd-pal", "svcd-576"},       {"svcd-ntsc", "svcd-480"},
    {"square", "monitor"},          {"sxga", "1280x1024"},
};

// A signed 32-bit decimal integer: an optional sign and digits, nothing else.
std::optional<int32_t> ParseInt32(const std::string &text) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (i == text.size())
        return std::nullopt;
    int64_t value = 0;
    for (; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > 2147483648LL)
            return std::nullopt;  // out of range; stop before overflow
    }
    if (negative)
        value = -value;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<int32_t>(value);
}

bool LooksNumeric(const std::string &text) {
    size_t i = (!text.empty() && (text[0] == '+' || text[0] == '-')) ? 1 : 0;
    return i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]));
}

int32_t Integer(const std::string &text, const std::string &what) {
    if (const std::optional<int32_t> v = ParseInt32(text))
        return *v;
    if (LooksNumeric(text))
        throw UsageError{what + " '" + text + "' is not an integer of 32 bits"};
    throw UsageError{what + " '" + text + "' is not an integer"};
}

std::string Lower(std::string s) {
    for (char &c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

int32_t Preset(const std::string &text, const std::string &what) {
    const std::string name = Lower(text);
    for (int32_t p = 0; p < kPixelAspectCount; ++p)
        if (name == kPresetNames[p].name || name == kPresetNames[p].alias)
            return p;
    if (LooksNumeric(text))
        return Integer(text, what);
    // No hint of its own: every usage error ends with the one to --help, which lists the names.
    throw UsageError{what + ": unknown preset '" + text + "'"};
}

void Size(const std::string &text, int32_t *width, int32_t *height) {
    const size_t x = text.find_first_of("xX");
    if (x == std::string::npos)
        throw UsageError{"--source '" + text + "' is not of the form WIDTHxHEIGHT"};
    *width = Integer(text.substr(0, x), "--source width");
    *height = Integer(text.substr(x + 1), "--source height");
}

std::string Help() {
    std::ostringstream h;
    h << "Usage:\n"
         "  mensurio-solve [options]\n"
         "  mensurio-solve SW SH DW DH MW MH SOURCE DEST FIXED MODE\n"
         "  mensurio-solve --batch < lines-of-ten-integers\n"
         "\n"
         "Tells to what size to clip or pad a video source and to what size to resize it so\n"
         "that the picture keeps its shape from one pixel aspect ratio to another (the\n"
         "calculator Mensurio without its window). Prints the result text exactly as the\n"
         "window shows it.\n"
         "\n"
         "Options (defaults are those of the window):\n"
         "  --source WxH        source size, any borders already removed   (704x576)\n"
         "  --from PRESET       source pixel aspect, name or position       (pal)\n"
         "  --to PRESET         destination pixel aspect, name or position  (square)\n"
         "  --width N           destination width, and fix the width        (640)\n"
         "  --height N          destination height, and fix the height      (480)\n"
         "  --fix width|height  the fixed side, needed when both --width and --height\n"
         "                      are given                                   (width)\n"
         "  --multiple N        multiple of the side that is not fixed      (16)\n"
         "  --width-multiple N  multiple of the width when the height is fixed  (16)\n"
         "  --height-multiple N multiple of the height when the width is fixed  (16)\n"
         "  --reduce            reduce the source size if necessary         (default)\n"
         "  --expand            expand the source size if necessary\n"
         "  --batch             read lines of the ten integers below from standard input and\n"
         "                      print each answer followed by a line \""
      << kBatchSeparator
      << "\"\n"
         "  --help              show this text\n"
         "Values may also be given as --option=value.\n"
         "\n"
         "Presets (PRESET is a name, an alias or a position; a position outside 0..7\n"
         "computes with the aspect 1.0):\n";
    for (int32_t p = 0; p < kPixelAspectCount; ++p) {
        std::string line = "  " + std::to_string(p) + "  " + kPresetNames[p].name;
        line.resize(16, ' ');
        line += kPresetNames[p].alias;
        line.resize(34, ' ');
        line += '"';
        line += PixelAspectCaption(p);
        line += '"';
        h << line << '\n';
    }
    h << "\n"
         "The ten integers, in this order: source width, source height, destination width,\n"
         "destination height, width multiple, height multiple, source preset position,\n"
         "destination preset position, fixed side (0 width, any other value height), mode\n"
         "(1 expand, any other value reduce).\n"
         "\n"
         "Exit status: 0 a solution, 1 \"Incorrect values\" (a 0 among the six sizes and\n"
         "multiples), 2 a usage error.\n";
    return h.str();
}

// Prints the answer, with one line feed added when it does not end with one.
int Print(const std::string &answer, std::ostream &out) {
    out << answer;
    if (answer.empty() || answer.back() != '\n')
        out << '\n';
    return answer == kIncorrectValues ? kExitIncorrectValues : kExitSolution;
}

int Positional(const std::vector<std::string> &args, std::ostream &out) {
    static const char *const kNames[10] = {"SW", "SH",     "DW",   "DH",    "MW",
                                           "MH", "SOURCE", "DEST", "FIXED", "MODE"};
    if (args.size() != 10)
        throw UsageError{"expected ten integers (SW SH DW DH MW MH SOURCE DEST FIXED MODE), got " +
                         std::to_string(args.size()) + " arguments"};
    int32_t v[10];
    for (size_t i = 0; i < 10; ++i)
        v[i] = Integer(args[i], kNames[i]);
    return Print(SolveSizes(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9]), out);
}

int Batch(std::istream &in, std::ostream &out) {
    std::string line;
    long number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::istringstream words(line);
        std::vector<std::string> fields;
        for (std::string w; words >> w;)
            fields.push_back(w);
        if (fields.empty())
            continue;
        if (fields.size() != 10)
            throw UsageError{"--batch line " + std::to_string(number) +
                             ": expected ten integers, got " + std::to_string(fields.size())};
        int32_t v[10];
        for (size_t i = 0; i < 10; ++i)
            v[i] = Integer(fields[i], "--batch line " + std::to_string(number) + ": value");
        Print(SolveSizes(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9]), out);
        out << kBatchSeparator << '\n';
    }
    out.flush();
    return kExitSolution;
}

int Friendly(const std::vector<std::string> &args, std::istream &in, std::ostream &out) {
    int32_t sw = 704, sh = 576, dw = 640, dh = 480, mw = 16, mh = 16;
    int32_t src = 0, dst = 6, mode = 0;
    bool widthGiven = false, heightGiven = false, batch = false;
    std::optional<int32_t> fixed, multiple;

    for (size_t i = 0; i < args.size(); ++i) {
        std::string option = args[i];
        std::optional<std::string> inlineValue;
        if (option.rfind("--", 0) == 0) {
            const size_t eq = option.find('=');
            if (eq != std::string::npos) {
                inlineValue = option.substr(eq + 1);
                option.erase(eq);
            }
        }
        auto value = [&]() -> std::string {
            if (inlineValue)
                return *inlineValue;
            if (i + 1 >= args.size())
                throw UsageError{"option " + option + " needs a value"};
            return args[++i];
        };
        auto flag = [&]() {
            if (inlineValue)
                throw UsageError{"option " + option + " takes no value"};
        };

        if (option == "--help" || option == "-h") {
            flag();
            out << Help();
            return kExitSolution;
        } else if (option == "--source") {
            Size(value(), &sw, &sh);
        } else if (option == "--from") {
            src = Preset(value(), "--from");
        } else if (option == "--to") {
            dst = Preset(value(), "--to");
        } else if (option == "--width") {
            dw = Integer(value(), "--width");
            widthGiven = true;
        } else if (option == "--height") {
            dh = Integer(value(), "--height");
            heightGiven = true;
        } else if (option == "--fix") {
            const std::string side = Lower(value());
            if (side == "width")
                fixed = 0;
            else if (side == "height")
                fixed = 1;
            else
                throw UsageError{"--fix '" + side + "' is neither width nor height"};
        } else if (option == "--multiple") {
            multiple = Integer(value(), "--multiple");
        } else if (option == "--width-multiple") {
            mw = Integer(value(), "--width-multiple");
        } else if (option == "--height-multiple") {
            mh = Integer(value(), "--height-multiple");
        } else if (option == "--reduce") {
            flag();
            mode = 0;
        } else if (option == "--expand") {
            flag();
            mode = 1;
        } else if (option == "--batch") {
            flag();
            batch = true;
        } else if (LooksNumeric(option)) {
            throw UsageError{"unexpected number '" + option +
                             "': give either the ten integers alone or options"};
        } else {
            throw UsageError{"unknown option '" + args[i] + "'"};
        }
    }

    if (batch) {
        if (args.size() != 1)
            throw UsageError{"--batch takes no other options"};
        return Batch(in, out);
    }
    if (!fixed) {
        if (widthGiven && heightGiven)
            throw UsageError{
                "both --width and --height given: say which is fixed with --fix width|height"};
        fixed = heightGiven ? 1 : 0;
    }
    if (multiple)
        (*fixed == 0 ? mh : mw) = *multiple;
    return Print(SolveSizes(sw, sh, dw, dh, mw, mh, src, dst, *fixed, mode), out);
}

}  // namespace

int RunSolveCli(const std::vector<std::string> &args, std::istream &in, std::ostream &out,
                std::ostream &err) {
    try {
        if (!args.empty() && LooksNumeric(args[0]))
            return Positional(args, out);
        return Friendly(args, in, out);
    } catch (const UsageError &e) {
        out.flush();
        err << kProgram << ": " << e.message << " (try --help)\n";
        return kExitUsage;
    }
}

}  // namespace mensurio
