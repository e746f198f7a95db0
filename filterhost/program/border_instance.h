// The border filter's settings as an instance of it holds them, for what the host does around
// the plug-in: converting only the strips the filter reaches, ticking the lines it changes.
#pragma once

#include <cstring>
#include <optional>

#include "border_settings.h"
#include "filter_instance.h"
#include "filter_name.h"

namespace filterhost {

// The settings record in the instance memory this host allocated, which is the border
// filter's documented instance data; nothing for any other filter.
inline std::optional<kantora::BorderSettings> BorderSettingsOf(FilterInstance &instance,
                                                               const FilterDefinition &definition) {
    if (definition.name == nullptr || std::strcmp(definition.name, kantora::kFilterName) != 0 ||
        definition.inst_data_size != static_cast<int>(sizeof(kantora::BorderSettings)))
        return std::nullopt;
    kantora::BorderSettings settings;
    std::memcpy(&settings, instance.Data(), sizeof settings);
    return settings;
}

}  // namespace filterhost
