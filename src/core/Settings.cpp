#include "core/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

qint32 gNumRegistos = 0;

namespace {

QString& settingsFile() {
    static QString path;
    return path;
}

// The settings file (it holds registered servers' logins) is the user's alone: made 0600 before
// QSettings first writes it (its rewrites keep the mode), its new folder 0700.
void makePrivate(const QString& file) {
    const QFileInfo info(file);
    if (!info.exists()) {
        const QString dir = info.absolutePath();
        if (!QFileInfo::exists(dir) && QDir().mkpath(dir))
            ::chmod(QFile::encodeName(dir).constData(), 0700);
        const int fd = ::open(QFile::encodeName(file).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        if (fd >= 0)
            ::close(fd);
    }
    ::chmod(QFile::encodeName(file).constData(), 0600);
}

std::unique_ptr<QSettings> openSettings() {
    auto s = settingsFile().isEmpty()
                 ? std::make_unique<QSettings>(QStringLiteral("Drumo"), QStringLiteral("Varnolt"))
                 : std::make_unique<QSettings>(settingsFile(), QSettings::IniFormat);
    makePrivate(s->fileName());
    return s;
}

// QSettings reads '/' and '\' as group separators: keep them (and '%') escaped in key names.
QString encodeName(const QString& name) {
    QString out;
    out.reserve(name.size());
    for (QChar c : name) {
        if (c == u'%' || c == u'/' || c == u'\\')
            out += QStringLiteral("%%1").arg(c.unicode(), 2, 16, QChar(u'0')).toUpper();
        else
            out += c;
    }
    return out;
}

QString decodeName(const QString& key) {
    QString out;
    for (qsizetype i = 0; i < key.size(); ++i) {
        if (key[i] == u'%' && i + 2 < key.size()) {
            bool ok = false;
            const int code = key.mid(i + 1, 2).toInt(&ok, 16);
            if (ok) {
                out += QChar(code);
                i += 2;
                continue;
            }
        }
        out += key[i];
    }
    return out;
}

// The stored key that names `name`, compared without regard to case; empty when none.
QString findKey(QSettings& s, const QString& name) {
    const QString wanted = encodeName(name);
    const QStringList keys = s.childKeys();
    for (const QString& k : keys)
        if (k.compare(wanted, Qt::CaseInsensitive) == 0)
            return k;
    return {};
}

} // namespace

QString RegGetString(const QString& name, const QString& defaultValue) {
    auto s = openSettings();
    const QString key = findKey(*s, name);
    if (key.isEmpty())
        return defaultValue;
    return s->value(key).toString();
}

void RegSetString(const QString& name, const QString& value) {
    if (name.isEmpty())
        return;
    auto s = openSettings();
    QString key = findKey(*s, name);
    if (key.isEmpty())
        key = encodeName(name);
    s->setValue(key, value);
    s->sync();
}

void RegDelValue(const QString& name) {
    auto s = openSettings();
    const QString key = findKey(*s, name);
    if (key.isEmpty())
        return;
    s->remove(key);
    s->sync();
}

bool RegValueExists(const QString& name) {
    auto s = openSettings();
    return !findKey(*s, name).isEmpty();
}

QStringList RegValueNames() {
    auto s = openSettings();
    QStringList names;
    for (const QString& k : s->childKeys())
        names << decodeName(k);
    return names;
}

qint32 LoadNumRegistos() {
    bool ok = false;
    const qint32 n = RegGetString(RegNames::NumRegistos).trimmed().toInt(&ok);
    gNumRegistos = (ok && n > 0) ? n : 0;
    return gNumRegistos;
}

void SetSettingsFile(const QString& path) {
    settingsFile() = path;
}

QString SettingsFile() {
    return settingsFile();
}
