#include "core/cServer.h"

cServer::cServer(const QString& serverName, bool winAut, const QString& login,
                 const QString& password)
    : m_ServerName(serverName), m_WinAut(winAut), m_Login(login), m_Password(password) {}

cServer::~cServer() = default;

QString QuoteConnValue(const QString& value) {
    if (value.isEmpty())
        return value;
    const bool hasDouble = value.contains(u'"');
    const bool hasSingle = value.contains(u'\'');
    const bool needs = hasDouble || hasSingle || value.contains(u';') || value.contains(u'=') ||
                       value.front().isSpace() || value.back().isSpace();
    if (!needs)
        return value;
    if (hasDouble && !hasSingle)
        return u'\'' + value + u'\'';
    QString inner = value;
    inner.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + inner + u'"';
}

QString cServer::ADOConnStr(const QString& Database) const {
    // The login data are this server's own until the management objects take them over.
    if (m_WinAut)
        return QStringLiteral("Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security "
                              "Info=False;Initial Catalog=") +
               QuoteConnValue(Database) + QStringLiteral(";Data Source=") +
               QuoteConnValue(m_ServerName);
    return QStringLiteral("Provider=SQLOLEDB.1;Persist Security Info=False;User ID=") +
           QuoteConnValue(m_Login) + QStringLiteral(";PWD=") + QuoteConnValue(m_Password) +
           QStringLiteral(";Initial Catalog=") + QuoteConnValue(Database) +
           QStringLiteral(";Data Source=") + QuoteConnValue(m_ServerName);
}
