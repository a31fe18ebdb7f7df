#include "core/ScopedSettingsFile.h"

#include "core/Settings.h"

ScopedSettingsFile::ScopedSettingsFile() : previous_(SettingsFile()) {
    SetSettingsFile(dir_.filePath(QStringLiteral("Varnolt.ini")));
}

ScopedSettingsFile::ScopedSettingsFile(const QString& path) : previous_(SettingsFile()) {
    SetSettingsFile(path);
}

ScopedSettingsFile::~ScopedSettingsFile() {
    SetSettingsFile(previous_);
}

QString ScopedSettingsFile::path() const {
    return SettingsFile();
}
