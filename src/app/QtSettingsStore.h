// The per-user settings store: QSettings of company "Velmor", application
// "WQE-7000", values in the group "Path".
#pragma once

#include <QSettings>
#include <memory>

#include "card/Settings.h"

namespace wqe {

class QtSettingsStore : public SettingsStore {
public:
    // The user's own store.
    QtSettingsStore();
    // A store kept in the INI file `path` (tests, portable use).
    explicit QtSettingsStore(const QString& path);

    std::string value(const std::string& key, const std::string& def = {}) const override;
    // A value that cannot be written is reported on the standard error
    // stream; the program goes on with the value in memory.
    void setValue(const std::string& key, const std::string& value) override;

private:
    std::unique_ptr<QSettings> settings_;
};

}  // namespace wqe
