#pragma once
// One registered server: its name and login data, and the connection strings built from them.

#include <QString>
#include <QStringList>

#include <memory>

namespace dmo {
class SQLServer;
}

class cServer {
public:
    cServer() = default;
    cServer(const QString& serverName, bool winAut, const QString& login, const QString& password);
    virtual ~cServer();
    cServer(const cServer&) = delete;
    cServer& operator=(const cServer&) = delete;

    // A machine name, "MACHINE\INSTANCE" or "(LOCAL)".
    const QString& ServerName() const { return m_ServerName; }
    void setServerName(const QString& v) { m_ServerName = v; }
    // Windows (integrated) authentication.
    bool WinAut() const { return m_WinAut; }
    void setWinAut(bool v) { m_WinAut = v; }
    const QString& Login() const { return m_Login; }
    void setLogin(const QString& v) { m_Login = v; }
    const QString& Password() const { return m_Password; }
    void setPassword(const QString& v) { m_Password = v; }

    // Connection string for `Database` on this server. A value holding ';', '=', a quote or
    // blanks at either end is quoted (QuoteConnValue); any other value is written as it is.
    QString ADOConnStr(const QString& Database = {}) const;

    // The server's management object (dmo::SQLServer2), made on first use with this
    // server's login data; connected by Connect.
    std::shared_ptr<dmo::SQLServer> SQLDMOServer() const;
    // Connects the management object; throws dmo::DmoError (unknown server, failed login).
    void Connect();
    void Disconnect();
    bool IsConnected() const;
    // Reads the server's database names again (errors passed over: the list is then empty).
    void LoadDatabases();
    // "name:name;" for each database in the server's order, escaped as KeyTextEntry does so
    // that a name holding ':' or ';' stays whole; blnRefresh reloads it first.
    QString ListaDatabases(bool blnRefresh = false);

    // --- LoadLogins, Databases, Logins, SP, Status, GetDBPath, GetMachineName belong here.

private:
    QString m_ServerName;
    bool m_WinAut = false;
    QString m_Login;
    QString m_Password;
    mutable std::shared_ptr<dmo::SQLServer> m_SQLDMOServer;
    QStringList m_Databases;
};

// A connection-string value as written in the string: plain values unchanged; a value with
// ';', '=', a quote or leading/trailing blanks enclosed in double quotes with inner double
// quotes doubled, or in single quotes when it holds a double quote and no single one.
QString QuoteConnValue(const QString& value);
