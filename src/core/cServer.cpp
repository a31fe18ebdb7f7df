#include "core/cServer.h"

#include "core/KeyTextList.h"
#include "dmo/Databases.h"
#include "dmo/DmoError.h"
#include "dmo/SQLServer.h"

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

std::shared_ptr<dmo::SQLServer> cServer::SQLDMOServer() const {
    if (!m_SQLDMOServer)
        m_SQLDMOServer = std::make_shared<dmo::SQLServer>();
    return m_SQLDMOServer;
}

void cServer::Connect() {
    auto server = SQLDMOServer();
    server->SetLoginSecure(m_WinAut);
    server->Connect(m_ServerName, m_Login, m_Password);
}

void cServer::Disconnect() {
    if (m_SQLDMOServer)
        m_SQLDMOServer->Disconnect();
}

bool cServer::IsConnected() const {
    return m_SQLDMOServer && m_SQLDMOServer->IsConnected();
}

void cServer::LoadDatabases() {
    m_Databases.clear();
    try {
        auto databases = SQLDMOServer()->Databases();
        databases->Refresh(true);
        for (int i = 1; i <= databases->Count(); ++i)
            m_Databases << databases->Item(i)->Name();
    } catch (const dmo::DmoError&) {
        // Passed over: the list stays as far as it was read.
    }
}

QString cServer::ListaDatabases(bool blnRefresh) {
    if (blnRefresh)
        LoadDatabases();
    QString list;
    for (const QString& name : m_Databases)
        list += KeyTextEntry(name, name);
    return list;
}
