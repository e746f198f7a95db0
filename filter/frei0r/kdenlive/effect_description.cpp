// Writes Kdenlive's description of the frei0r plug-in (kantora.xml) from the plug-in's own
// description, so that the two name the same parameters in the same order. Kdenlive then shows
// each region value as whole lines, 0 to 255, the edges one after another; the `config` line
// is set empty, so that the values rule.
//   usage: kantora_kdenlive_effect OUTPUT.xml
#include <cstdio>
#include <string>

#include "description.h"

namespace {

using namespace kantora::frei0r;

std::string Escaped(const char *text) {
    std::string out;
    for (; *text != '\0'; ++text) {
        switch (*text) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += *text;
        }
    }
    return out;
}

std::string Parameter(int index) {
    const ParamDescription &p = ParamAt(index);
    const std::string head = "  <parameter name=\"" + Escaped(p.name) + "\" ";
    const std::string texts = "    <name>" + Escaped(p.title) + "</name>\n    <comment>" +
                              Escaped(p.explanation) + "</comment>\n  </parameter>\n";
    if (p.kind == ParamKind::Text)
        return head + "type=\"fixed\" default=\"\" value=\"\">\n" + texts;
    const kantora::ConfigValue &v = kantora::kConfigLayout[size_t(index - 1)];
    // Kdenlive shows MLT's value times `factor`: the lines.
    return head + "type=\"constant\" default=\"0\" min=\"" + std::to_string(v.minimum) +
           "\" max=\"" + std::to_string(v.maximum) + "\" factor=\"" +
           std::to_string(int(kLinesPerUnit)) + "\" decimals=\"0\" suffix=\" lines\">\n" + texts;
}

std::string Effect() {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<!DOCTYPE kpartgui>\n"
                      "<effect tag=\"frei0r.kantora\" id=\"frei0r.kantora\">\n"
                      "  <name>" +
                      Escaped(kPluginName) + "</name>\n  <description>" + Escaped(kExplanation) +
                      "</description>\n  <author>" + Escaped(kAuthor) + "</author>\n";
    for (int k = 0; k < kParamCount; ++k)
        xml += Parameter(k);
    return xml + "</effect>\n";
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fputs("usage: kantora_kdenlive_effect OUTPUT.xml\n", stderr);
        return 2;
    }
    const std::string xml = Effect();
    FILE *file = std::fopen(argv[1], "wb");
    bool written = file != nullptr && std::fwrite(xml.data(), 1, xml.size(), file) == xml.size();
    if (file != nullptr && std::fclose(file) != 0)
        written = false;
    if (!written) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
