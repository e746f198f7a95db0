// filterhost/program: the programs themselves, their command lines and main functions.
// filterhost's command line.
#pragma once

#include <string>
#include <vector>

#include "host_results.h"
#include "filter_instance.h"
#include "frame_input.h"

namespace filterhost {

enum class Mode { Help, List, Settings, RawFrames, Image, Video, Configure, Suggest, Preview };

// One piece of script text in command-line order: a --config call or a --script file.
struct ScriptSource {
    bool isFile = false;
    std::string text;  // the call, or the file's path
};

struct Options {
    Mode mode = Mode::Help;
    std::string plugin;
    std::string filterName;  // empty: the first filter the plug-in registers
    std::vector<ScriptSource> scripts;
    int instance = -1;  // the settings file's instance of the filter; -1: the only one
    bool saveScript = false;
    bool settingsFile = false;  // --save-script writes a whole settings file (--vcf)
    bool describe = false;
    int scriptBufferSize = kDefaultScriptBufferSize;
    FrameInput input;
    std::string output = "-";  // "-" is standard output
    int pitchPadding = 0;      // bytes after each row of the plug-in's bitmaps
    std::string codec;         // --video's encoder; empty: the container's default
    bool quiet = false;        // no progress line (--suggest: no explanation either)
    int suggestFrames = 0;     // --suggest measures about this many frames; 0: its own choice
    std::string preview;       // --preview's picture; empty: none
};

Expected<Options> ParseCommandLine(const std::vector<std::string> &arguments);

extern const char *const kUsage;

}  // namespace filterhost
