#pragma once
// The program's settings: text values under one key of the current user, kept with QSettings
// (organisation "Drumo", application "Varnolt"). Value names compare without regard to case,
// and may hold any character (server names carry a backslash).

#include <QString>
#include <QStringList>

#include <memory>

class QSettings;

// Names of the settings values.
namespace RegNames {
inline const QString Max = QStringLiteral("Max");
inline const QString WTop = QStringLiteral("WTop");
inline const QString WLeft = QStringLiteral("WLeft");
inline const QString WHeight = QStringLiteral("WHeight");
inline const QString WWidth = QStringLiteral("WWidth");
inline const QString Spl = QStringLiteral("Spl");
inline const QString ConfirmaSaida = QStringLiteral("ConfirmaSaida");
inline const QString NumRegistos = QStringLiteral("NumRegistos");
} // namespace RegNames

// The value's text, or `defaultValue` when there is no such value.
QString RegGetString(const QString& name, const QString& defaultValue = {});
// Creates or replaces the value (an existing value keeps the case of its name).
void RegSetString(const QString& name, const QString& value);
// Deletes the value; nothing when there is none.
void RegDelValue(const QString& name);
// True when the value exists.
bool RegValueExists(const QString& name);
// Names of every value under the key, as they were written.
QStringList RegValueNames();

// Rows the table window reads when it opens a table; 0 means all rows.
extern qint32 gNumRegistos;
// Reads "NumRegistos" into gNumRegistos (missing, negative or not a number: 0) and returns it.
qint32 LoadNumRegistos();

// Sends the settings to an INI file (tests); an empty path returns to the user's settings.
void SetSettingsFile(const QString& path);
QString SettingsFile();
