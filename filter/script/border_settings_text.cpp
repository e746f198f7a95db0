#include "border_settings_text.h"

#include "filter_name.h"
#include "script_binding.h"
#include "script_file.h"
#include "script_functions.h"

namespace kantora {

Expected<SettingsFromText> ReadBorderSettings(std::string_view text, const std::string &source,
                                              int instance) {
    Expected<BoundScript> bound = BindScript(text, &scriptObject, kFilterName, instance, source);
    if (!bound)
        return bound.failure();
    SettingsFromText read;
    ResetBorderSettings(read.settings);
    read.settings.preview = nullptr;
    // The calls run as the host runs them: on an activation record whose instance data is the
    // settings.
    FilterActivation activation{};
    activation.filter_data = &read.settings;
    for (const BoundCall &call : bound->calls)
        call.function(nullptr, &activation, call.arguments.data(),
                      static_cast<int>(call.arguments.size()));
    read.notes = std::move(bound->notes);
    return read;
}

Expected<SettingsFromText> ReadBorderSettingsFile(const std::string &path, int instance) {
    Expected<std::string> text = ReadScriptFile(path);
    if (!text)
        return text.failure();
    return ReadBorderSettings(*text, path, instance);
}

}  // namespace kantora
