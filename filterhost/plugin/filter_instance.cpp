#include "filter_instance.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace filterhost {

namespace {

constexpr size_t kGuardBytes = 64;
constexpr uint8_t kGuardByte = 0xC3;
constexpr char kStringGuard = '\x5A';
constexpr size_t kStringGuardBytes = 64;

// Zeroed memory for the instance data and its guard area.
void *AllocateInstanceMemory(size_t bytes) {
#if defined(_WIN32)
    void *memory =
        VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT | MEM_TOP_DOWN, PAGE_READWRITE);
#else
    void *memory = std::calloc(bytes, 1);
#endif
    if (memory == nullptr)
        throw std::bad_alloc();
    return memory;
}

std::string FailedCallback(const char *name, int result) {
    return std::string("the filter's ") + name + " callback failed (returned " +
           std::to_string(result) + ")";
}

}  // namespace

void FilterInstance::MemoryRelease::operator()(void *memory) const {
#if defined(_WIN32)
    VirtualFree(memory, 0, MEM_RELEASE);
#else
    std::free(memory);
#endif
}

FilterInstance::FilterInstance(const FilterDefinition &definition, const FilterFunctions &functions)
    : definition_(definition),
      functions_(functions),
      memory_(AllocateInstanceMemory(static_cast<size_t>(definition.inst_data_size) + kGuardBytes)),
      dataSize_(static_cast<size_t>(definition.inst_data_size)) {
    // The guard area after the declared size catches a plug-in that uses more than it asked for.
    std::memset(static_cast<uint8_t *>(memory_.get()) + dataSize_, kGuardByte, kGuardBytes);
    std::memset(&activation_, 0, sizeof activation_);
    activation_.filter = &definition_;
    activation_.filter_data = memory_.get();
}

Expected<std::unique_ptr<FilterInstance>> FilterInstance::Create(const FilterDefinition &definition,
                                                                 const FilterFunctions &functions) {
    if (definition.inst_data_size < 0)
        return Fail("the filter declares a negative instance data size (" +
                    std::to_string(definition.inst_data_size) + ")");
    if (definition.runProc == nullptr)
        return Fail("the filter has no run callback");
    std::unique_ptr<FilterInstance> instance(new FilterInstance(definition, functions));
    if (definition.initProc != nullptr) {
        const int result = definition.initProc(&instance->activation_, &functions);
        if (result != 0)
            return Fail(FailedCallback("init", result));
        Status memory = instance->CheckInstanceMemory("init");
        if (!memory)
            return memory.failure();
    }
    return Expected<std::unique_ptr<FilterInstance>>(std::move(instance));
}

FilterInstance::~FilterInstance() {
    if (started_)
        End();
    if (definition_.deinitProc != nullptr)
        definition_.deinitProc(&activation_, &functions_);
}

Status FilterInstance::CheckInstanceMemory(const char *callback) const {
    const uint8_t *guard = static_cast<const uint8_t *>(memory_.get()) + dataSize_;
    for (size_t k = 0; k < kGuardBytes; ++k)
        if (guard[k] != kGuardByte)
            return Fail(std::string("the filter's ") + callback +
                        " wrote past its declared instance data size of " +
                        std::to_string(dataSize_) + " bytes");
    return Ok();
}

Status FilterInstance::RunScript(const std::vector<kantora::BoundCall> &calls) {
    for (const kantora::BoundCall &call : calls) {
        call.function(nullptr, &activation_, call.arguments.data(),
                      static_cast<int>(call.arguments.size()));
        Status memory = CheckInstanceMemory("script function");
        if (!memory)
            return memory;
    }
    return Ok();
}

Expected<std::string> FilterInstance::ScriptText(int bufferSize) {
    if (definition_.fssProc == nullptr)
        return Fail("the filter has no script-string callback, so its settings cannot be saved");
    if (bufferSize <= 0)
        return Fail("the script buffer size must be positive");
    std::vector<char> buffer(static_cast<size_t>(bufferSize) + kStringGuardBytes, kStringGuard);
    const bool written = definition_.fssProc(&activation_, &functions_, buffer.data(), bufferSize);
    for (size_t k = static_cast<size_t>(bufferSize); k < buffer.size(); ++k)
        if (buffer[k] != kStringGuard)
            return Fail("the filter's script-string callback wrote past the " +
                        std::to_string(bufferSize) + "-byte buffer");
    if (!written)
        return Fail("the filter's script call does not fit the " + std::to_string(bufferSize) +
                        "-byte script buffer: filter saved without settings",
                    FailureKind::SavedWithoutSettings);
    // Never read past the buffer, even if the callback left no terminating zero in it.
    return std::string(buffer.data(), strnlen(buffer.data(), static_cast<size_t>(bufferSize)));
}

Expected<std::string> FilterInstance::Summary() {
    if (definition_.stringProc == nullptr)
        return std::string();
    std::vector<char> buffer(kSummaryBufferSize + kStringGuardBytes, kStringGuard);
    buffer[0] = '\0';
    definition_.stringProc(&activation_, &functions_, buffer.data());
    for (size_t k = kSummaryBufferSize; k < buffer.size(); ++k)
        if (buffer[k] != kStringGuard)
            return Fail("the filter's string callback wrote past the " +
                        std::to_string(kSummaryBufferSize) + "-byte buffer");
    return std::string(buffer.data(), strnlen(buffer.data(), kSummaryBufferSize));
}

Expected<bool> FilterInstance::Configure(IFilterPreview &preview, HWND parent) {
    if (definition_.configProc == nullptr)
        return Fail(std::string("the filter '") + (definition_.name ? definition_.name : "") +
                    "' has no configuration dialog");
    activation_.ifp = &preview;
    const int result = definition_.configProc(&activation_, &functions_, parent);
    activation_.ifp = nullptr;  // the controller lives only as long as the dialog
    Status memory = CheckInstanceMemory("configure");
    if (!memory)
        return memory.failure();
    return result == 0;
}

Status FilterInstance::Start() {
    if (definition_.startProc != nullptr) {
        const int result = definition_.startProc(&activation_, &functions_);
        if (result != 0)
            return Fail(FailedCallback("start", result));
    }
    started_ = true;
    return CheckInstanceMemory("start");
}

Status FilterInstance::Run(HostBitmap &source, HostBitmap &destination) {
    activation_.src = source.Record();
    activation_.dst = destination.Record();
    activation_.x1 = activation_.y1 = 0;
    activation_.x2 = static_cast<uint32_t>(source.Width());
    activation_.y2 = static_cast<uint32_t>(source.Height());
    const int result = definition_.runProc(&activation_, &functions_);
    activation_.src = activation_.dst = nullptr;
    ++framesRun_;
    if (result != 0)
        return Fail(FailedCallback("run", result) + " on frame " + std::to_string(framesRun_));
    if (!destination.PaddingIntact())
        return Fail("the filter wrote outside the picture, into the row padding, on frame " +
                    std::to_string(framesRun_));
    return CheckInstanceMemory("run");
}

Status FilterInstance::End() {
    if (!started_)
        return Ok();
    started_ = false;
    if (definition_.endProc != nullptr) {
        const int result = definition_.endProc(&activation_, &functions_);
        if (result != 0)
            return Fail(FailedCallback("end", result));
    }
    return Ok();
}

}  // namespace filterhost
