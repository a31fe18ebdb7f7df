#pragma once
#include <QMap>
#include <QString>

namespace ado {

// The parts of an OLE DB connection string: "Key=Value;..." with values optionally quoted
// with ' or " (a quote inside doubled). Keys compare without regard to case.
class ConnectionString {
public:
    ConnectionString() = default;
    // Throws AdoError for a malformed string (an unterminated quote, a part without "=").
    static ConnectionString parse(const QString& text);
    // The text with its password parts (PWD, Password) taken out, the rest as written.
    static QString withoutPassword(const QString& text);

    QString value(const QString& key) const; // empty when absent
    bool contains(const QString& key) const;

    QString provider() const { return value(QStringLiteral("Provider")); }
    QString dataSource() const;
    QString initialCatalog() const;
    QString userId() const;
    QString password() const;
    bool integratedSecurity() const;
    bool persistSecurityInfo() const;

private:
    QMap<QString, QString> values_; // lower-cased key -> value
};

} // namespace ado
