// The element's settings as its properties set them, from any thread: the sixteen values one by
// one, or all of them from settings text read by the filter's one script reader (a Config call
// in any form filterhost --config takes, or a saved settings file, whose instance is chosen as
// filterhost --instance chooses it); and the settings as the streaming thread takes them.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "border_settings.h"
#include "config_layout.h"
#include "expected.h"

namespace kantora::gstreamer {

enum class SettingsText { Config, File };

// What reading a text left unrun, one line each, or why it could not be read.
using TextRead = Expected<std::vector<std::string>>;

class ElementSettings {
public:
    ElementSettings() { ResetBorderSettings(settings_); }

    // Values in kConfigLayout's order.
    int32_t Value(int index) const;
    void SetValue(int index, int32_t value);

    // Text of one kind (empty: none), read at once: what it sets replaces all sixteen values,
    // and what the reader left unrun comes back. A text that cannot be read leaves the values
    // as they were, and its failure stands until that kind of text is set again.
    TextRead SetText(SettingsText kind, const std::string &text);
    std::string Text(SettingsText kind) const;

    // The instance a settings file's chain is read for (-1: none given); the text set last is
    // read again for it.
    TextRead SetInstance(int instance);
    int Instance() const;

    // The failure of a text that could not be read, if any.
    bool Failed() const { return failed_.load(std::memory_order_acquire); }
    std::string FailureMessage() const;

    // The settings into `settings` when they changed since `version`, which is brought up to
    // date; false when they did not.
    bool TakeChanged(uint64_t &version, BorderSettings &settings) const;

private:
    TextRead Read(SettingsText kind);  // with mutex_ held
    void Changed() { version_.fetch_add(1, std::memory_order_release); }

    mutable std::mutex mutex_;
    BorderSettings settings_{};
    std::string texts_[2];
    std::string failures_[2];  // by kind; empty: read, or none given
    SettingsText last_ = SettingsText::Config;
    int instance_ = -1;
    std::atomic<bool> failed_{false};
    std::atomic<uint64_t> version_{1};
};

}  // namespace kantora::gstreamer
