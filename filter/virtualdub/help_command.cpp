#include "help_command.h"

#include <cstring>

namespace kantora {

namespace {

constexpr char kHelpFileInPluginsFolder[] = "plugins\\KantoraHelp.txt";
constexpr char kEditor[] = "Notepad ";

// Appends `text` to the string in `buffer` when the result fits, zero included.
bool AppendFits(char (&buffer)[kHelpBufferSize], size_t length, const char *text) {
    size_t extra = std::strlen(text);
    if (length + extra >= kHelpBufferSize)
        return false;
    std::memcpy(buffer + length, text, extra + 1);
    return true;
}

}  // namespace

bool BuildHelpCommand(const HostPathQueries &queries, char (&helpPath)[kHelpBufferSize],
                      char (&commandLine)[kHelpBufferSize]) {
    // The program's name goes into the command line's buffer first, as a scratch area.
    char *programName = commandLine;
    unsigned long nameLength = queries.programFileName(programName, kHelpQueryCapacity);
    programName[kHelpBufferSize - 1] = '\0';
    if (nameLength == 0 || nameLength >= kHelpQueryCapacity)
        return false;  // no name, or a cut one: the folder would be wrong

    char *fileNamePart = nullptr;
    unsigned long fullLength =
        queries.fullPathName(programName, kHelpQueryCapacity, helpPath, &fileNamePart);
    helpPath[kHelpBufferSize - 1] = '\0';
    if (fullLength == 0 || fullLength >= kHelpQueryCapacity || fileNamePart == nullptr ||
        fileNamePart < helpPath || fileNamePart >= helpPath + fullLength)
        return false;

    // Keep the folder with its trailing backslash.
    *fileNamePart = '\0';
    size_t folderLength = static_cast<size_t>(fileNamePart - helpPath);
    if (!AppendFits(helpPath, folderLength, kHelpFileInPluginsFolder))
        return false;

    std::memcpy(commandLine, kEditor, sizeof kEditor);
    return AppendFits(commandLine, sizeof kEditor - 1, helpPath);
}

}  // namespace kantora
