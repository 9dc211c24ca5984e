#include "app/QtSettingsStore.h"

#include <QDebug>

namespace wqe {

namespace {
QString pathKey(const std::string& key) {
    return QStringLiteral("Path/") + QString::fromStdString(key);
}
}  // namespace

QtSettingsStore::QtSettingsStore() : settings_(std::make_unique<QSettings>("Velmor", "WQE-7000")) {}

QtSettingsStore::QtSettingsStore(const QString& path)
    : settings_(std::make_unique<QSettings>(path, QSettings::IniFormat)) {}

std::string QtSettingsStore::value(const std::string& key, const std::string& def) const {
    return settings_->value(pathKey(key), QString::fromStdString(def)).toString().toStdString();
}

void QtSettingsStore::setValue(const std::string& key, const std::string& value) {
    settings_->setValue(pathKey(key), QString::fromStdString(value));
    settings_->sync();
    if (settings_->status() != QSettings::NoError) {
        qWarning().noquote() << settings_->fileName() << ": the setting" << pathKey(key)
                             << "could not be saved";
    }
}

}  // namespace wqe
