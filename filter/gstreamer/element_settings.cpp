#include "element_settings.h"

#include "border_settings_text.h"

namespace kantora::gstreamer {

namespace {

using Notes = std::vector<std::string>;

int IndexOf(SettingsText kind) { return kind == SettingsText::Config ? 0 : 1; }

}  // namespace

int32_t ElementSettings::Value(int index) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return BandValue(settings_, kConfigLayout[index].side, kConfigLayout[index].band);
}

void ElementSettings::SetValue(int index, int32_t value) {
    std::lock_guard<std::mutex> lock(mutex_);
    BandValue(settings_, kConfigLayout[index].side, kConfigLayout[index].band) = value;
    Changed();
}

TextRead ElementSettings::SetText(SettingsText kind, const std::string &text) {
    std::lock_guard<std::mutex> lock(mutex_);
    texts_[IndexOf(kind)] = text;
    last_ = kind;
    return Read(kind);
}

std::string ElementSettings::Text(SettingsText kind) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return texts_[IndexOf(kind)];
}

TextRead ElementSettings::SetInstance(int instance) {
    std::lock_guard<std::mutex> lock(mutex_);
    instance_ = instance;
    return Read(last_);
}

int ElementSettings::Instance() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return instance_;
}

std::string ElementSettings::FailureMessage() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return failures_[0].empty() ? failures_[1] : failures_[0];
}

bool ElementSettings::TakeChanged(uint64_t &version, BorderSettings &settings) const {
    if (version_.load(std::memory_order_acquire) == version)
        return false;
    std::lock_guard<std::mutex> lock(mutex_);
    settings = settings_;
    version = version_.load(std::memory_order_relaxed);
    return true;
}

TextRead ElementSettings::Read(SettingsText kind) {
    const std::string &text = texts_[IndexOf(kind)];
    std::string &failure = failures_[IndexOf(kind)];
    failure.clear();
    TextRead result = Notes{};
    if (!text.empty()) {
        Expected<SettingsFromText> read = kind == SettingsText::Config
                                              ? ReadBorderSettings(text, "config", instance_)
                                              : ReadBorderSettingsFile(text, instance_);
        if (read) {
            SetConfigValues(settings_, ConfigValuesOf(read->settings));
            Changed();
            result = std::move(read->notes);
        } else {
            failure = read.failure().message;
            result = read.failure();
        }
    }
    failed_.store(!failures_[0].empty() || !failures_[1].empty(), std::memory_order_release);
    return result;
}

}  // namespace kantora::gstreamer
