// One filter instance as the host runs it: instance memory of the declared size, the
// activation record, and the callbacks from init to deinit.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host_results.h"
#include "vdfilter.h"
#include "host_bitmap.h"
#include "bound_call.h"

namespace filterhost {

// The host's buffer for the script-string callback, and for the one-line summary.
constexpr int kDefaultScriptBufferSize = 256;
constexpr int kSummaryBufferSize = 128;

class FilterInstance {
public:
    // Allocates zeroed instance memory and calls init.
    static Expected<std::unique_ptr<FilterInstance>> Create(const FilterDefinition &definition,
                                                            const FilterFunctions &functions);
    FilterInstance(const FilterInstance &) = delete;
    FilterInstance &operator=(const FilterInstance &) = delete;
    ~FilterInstance();  // calls deinit

    // Runs bound script calls in order, each with this instance's activation record.
    Status RunScript(const std::vector<kantora::BoundCall> &calls);
    // The script call the filter writes for its settings, given a buffer of `bufferSize` bytes.
    Expected<std::string> ScriptText(int bufferSize);
    // The filter's one-line summary for the filter list.
    Expected<std::string> Summary();

    bool HasDialog() const { return definition_.configProc != nullptr; }
    // Runs the filter's configuration dialog with `preview` as the host's preview controller;
    // true when the user accepted, false when the dialog was cancelled.
    Expected<bool> Configure(IFilterPreview &preview, HWND parent);

    // The instance memory and the activation record, for the plug-in's own tests, which know
    // the memory's layout and drive callbacks directly.
    void *Data() { return activation_.filter_data; }
    FilterActivation &Activation() { return activation_; }
    const FilterFunctions &Functions() const { return functions_; }

    Status Start();
    // Processes one frame; the destination gets the source's width, height and pitch.
    Status Run(HostBitmap &source, HostBitmap &destination);
    Status End();

private:
    FilterInstance(const FilterDefinition &definition, const FilterFunctions &functions);
    Status CheckInstanceMemory(const char *callback) const;

    const FilterDefinition &definition_;
    const FilterFunctions &functions_;
    struct MemoryRelease {
        void operator()(void *memory) const;
    };
    // Instance data, then a guard area; on Windows as high in the address space as the system
    // allows, so that a 64-bit plug-in that truncates a pointer to it fails at once.
    std::unique_ptr<void, MemoryRelease> memory_;
    size_t dataSize_;
    FilterActivation activation_;
    bool started_ = false;
    int64_t framesRun_ = 0;
};

}  // namespace filterhost
