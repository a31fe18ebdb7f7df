#pragma once
// For tests: while one lives, the settings go to an INI file in a fresh temporary directory
// (or to the given file), and afterwards back to where they went before.

#include <QString>
#include <QTemporaryDir>

class ScopedSettingsFile {
public:
    ScopedSettingsFile();
    explicit ScopedSettingsFile(const QString& path);
    ~ScopedSettingsFile();
    ScopedSettingsFile(const ScopedSettingsFile&) = delete;
    ScopedSettingsFile& operator=(const ScopedSettingsFile&) = delete;

    QString path() const;

private:
    QTemporaryDir dir_;
    QString previous_;
};
