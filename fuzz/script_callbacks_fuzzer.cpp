// The Config script function and the two text callbacks on any settings: any sixteen 32-bit
// values (also passed with fewer arguments than the signature names), the script-string
// callback with a buffer of any size, the summary with the host's buffer. Nothing may be
// written past a buffer (guard bytes follow each), the call must be written whole or refused,
// and the texts must say exactly the values given.
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "plugin_under_test.h"
#include "script_form.h"

namespace kantora {
namespace {

constexpr size_t kGuardBytes = 32;
constexpr char kGuard = '\x5A';

bool GuardIntact(const std::vector<char> &buffer, size_t used) {
    for (size_t k = used; k < buffer.size(); ++k)
        if (buffer[k] != kGuard)
            return false;
    return true;
}

bool Terminated(const std::vector<char> &buffer, size_t used) {
    return std::memchr(buffer.data(), '\0', used) != nullptr;
}

int TestOneInput(const uint8_t *data, size_t size) {
    fuzz::FuzzInput in(data, size);
    Expected<std::unique_ptr<PluginUnderTest>> plugin = PluginUnderTest::Linked();
    FUZZ_CHECK(plugin.ok());
    const FilterDefinition &filter = (*plugin)->Definition();
    FilterActivation &activation = (*plugin)->Activation();
    const FilterFunctions &functions = (*plugin)->Functions();

    // A short argument list is ignored: only the values of a whole call are kept.
    const int argumentCount =
        in.Byte() % 24 == 0 ? in.Byte() % kConfigValueCount : kConfigValueCount;
    std::vector<ScriptValue> arguments(static_cast<size_t>(argumentCount));
    int32_t values[kConfigValueCount] = {};
    for (int k = 0; k < argumentCount; ++k) {
        std::memset(&arguments[k], 0, sizeof arguments[k]);
        arguments[k].type = kScriptInt;
        arguments[k].u.i = in.Value();
        if (argumentCount == kConfigValueCount)
            values[k] = arguments[k].u.i;
    }
    filter.script_obj->func_list[0].func(nullptr, &activation, arguments.data(), argumentCount);

    std::string call = "Config(";
    for (int k = 0; k < kConfigValueCount; ++k)
        call += (k ? ", " : "") + std::to_string(values[k]);
    call += ")";

    const size_t bufferSize = in.Byte() % 2 ? in.Byte() : call.size() + in.Byte() % 3;
    std::vector<char> buffer(bufferSize + kGuardBytes, kGuard);
    const bool written =
        filter.fssProc(&activation, &functions, buffer.data(), static_cast<int>(bufferSize));
    FUZZ_CHECK(GuardIntact(buffer, bufferSize));
    FUZZ_CHECK(written == (call.size() < bufferSize));
    if (written)
        FUZZ_CHECK(std::string(buffer.data()) == call);
    else if (bufferSize > 0)
        FUZZ_CHECK(Terminated(buffer, bufferSize));

    std::vector<char> summary(kSummarySize + kGuardBytes, kGuard);
    filter.stringProc(&activation, &functions, summary.data());
    FUZZ_CHECK(GuardIntact(summary, kSummarySize));
    FUZZ_CHECK(Terminated(summary, kSummarySize));
    const std::string expected = "(Top: " + std::to_string(values[0]) + "," +
                                 std::to_string(values[1]) + "," + std::to_string(values[2]) +
                                 ". Bot: " + std::to_string(values[4]) + "," +
                                 std::to_string(values[5]) + "," + std::to_string(values[6]) + ")";
    FUZZ_CHECK(std::string(summary.data()) == expected);
    return 0;
}

}  // namespace
}  // namespace kantora

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    return kantora::TestOneInput(data, size);
}
