// The help command line from the host program's path, with the path queries faked the way
// Windows answers them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "help_command.h"

namespace kantora {

namespace {

// What the fake queries answer.
struct HostPaths {
    std::string programName;  // the main program's name as the loader knows it
    std::string fullPath;     // its full path
    long fileNameAt;          // where the file name begins in fullPath; -1: no file name
    bool fullPathFails = false;
};
const HostPaths *host = nullptr;

unsigned long FakeProgramFileName(char *buffer, unsigned long capacity) {
    // Cut to the capacity when too long, as the loader does.
    unsigned long length = static_cast<unsigned long>(host->programName.size());
    if (length >= capacity) {
        std::memcpy(buffer, host->programName.data(), capacity);
        return capacity;
    }
    std::memcpy(buffer, host->programName.c_str(), length + 1);
    return length;
}

unsigned long FakeFullPathName(const char *name, unsigned long capacity, char *buffer,
                               char **fileNamePart) {
    EXPECT_EQ(host->programName, name);
    if (host->fullPathFails)
        return 0;
    unsigned long length = static_cast<unsigned long>(host->fullPath.size());
    if (length >= capacity)
        return length + 1;  // the size it would need
    std::memcpy(buffer, host->fullPath.c_str(), length + 1);
    *fileNamePart = host->fileNameAt < 0 ? nullptr : buffer + host->fileNameAt;
    return length;
}

// A host program "<folder>VirtualDub.exe" in a folder of exactly `length` characters.
std::string FolderOfLength(size_t length) {
    std::string folder = "C:\\";
    while (folder.size() < length - 1)
        folder += folder.size() % 10 == 9 ? '\\' : 'v';
    return folder + "\\";
}

HostPaths InFolder(const std::string &folder) {
    std::string path = folder + "VirtualDub.exe";
    return {path, path, static_cast<long>(folder.size())};
}

}  // namespace

TEST(HelpCommand, NotepadOnThePluginsFolderOrNothingWhenItCannotBeBuilt) {
    const std::string blanks = "C:\\Program Files\\Video Tools 1.9\\";
    // "Notepad " + folder + "plugins\KantoraHelp.txt" is 31 characters beside the folder.
    const std::string longest = FolderOfLength(255 - 31);
    const std::string tooLong = FolderOfLength(256 - 31);
    HostPaths relative{"VirtualDub.exe", blanks + "VirtualDub.exe",
                       static_cast<long>(blanks.size())};
    HostPaths noFileName{blanks, blanks, -1};
    HostPaths queryFails = InFolder(blanks);
    queryFails.fullPathFails = true;
    HostPaths fullPathTooLong{"VirtualDub.exe", FolderOfLength(250) + "VirtualDub.exe", 250};
    std::string veryLong = FolderOfLength(400);

    struct Case {
        const char *what;
        HostPaths paths;
        std::string folder;  // empty: nothing is opened
    } cases[] = {
        {"blanks in the folder", InFolder(blanks), blanks},
        {"a relative program name", relative, blanks},
        {"the longest folder that fits", InFolder(longest), longest},
        {"one character more", InFolder(tooLong), ""},
        {"a program name cut by the loader", InFolder(veryLong), ""},
        {"a full path longer than its buffer", fullPathTooLong, ""},
        {"no file-name part", noFileName, ""},
        {"the full-path query fails", queryFails, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        host = &c.paths;
        // Guard bytes after each buffer catch any write past it.
        struct Guarded {
            char helpPath[kHelpBufferSize];
            char guard1[64];
            char commandLine[kHelpBufferSize];
            char guard2[64];
        } out;
        std::memset(&out, 0x5A, sizeof out);
        bool built = BuildHelpCommand({FakeProgramFileName, FakeFullPathName}, out.helpPath,
                                      out.commandLine);
        for (size_t k = 0; k < sizeof out.guard1; ++k) {
            ASSERT_EQ(0x5A, out.guard1[k]);
            ASSERT_EQ(0x5A, out.guard2[k]);
        }
        ASSERT_EQ(!c.folder.empty(), built);
        if (built) {
            EXPECT_EQ(c.folder + "plugins\\KantoraHelp.txt", out.helpPath);
            EXPECT_EQ("Notepad " + c.folder + "plugins\\KantoraHelp.txt", out.commandLine);
        }
    }
    host = nullptr;
}

}  // namespace kantora
