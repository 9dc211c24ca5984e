// The per-user settings store: text values in the section "Path".
#pragma once

#include <map>
#include <string>

namespace wqe {

inline constexpr const char* kKeySystemFolder = "SystemFolder";
inline constexpr const char* kKeyCardPath = "CardPath";
inline constexpr const char* kKeyBackupPath = "BackupPath";
inline constexpr const char* kKeyConvertWavePath = "ConvertWavePath";
inline constexpr const char* kKeyConvertPhrasePath = "ConvertPhrasePath";

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::string value(const std::string& key, const std::string& def = {}) const = 0;
    virtual void setValue(const std::string& key, const std::string& value) = 0;
};

// A store that lives only as long as the process (command line, tests).
class MemorySettings : public SettingsStore {
public:
    std::string value(const std::string& key, const std::string& def = {}) const override {
        auto it = values_.find(key);
        return it == values_.end() ? def : it->second;
    }
    void setValue(const std::string& key, const std::string& value) override {
        values_[key] = value;
    }

private:
    std::map<std::string, std::string> values_;
};

}  // namespace wqe
