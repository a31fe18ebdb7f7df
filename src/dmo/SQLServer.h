#pragma once
#include "dmo/Connection.h"
#include "dmo/Names.h"

#include <QString>
#include <memory>

namespace dmo {

class Databases;

// A server object: owns one engine session; every object read through it uses that session.
class SQLServer {
public:
    SQLServer();
    // Integrated (operating-system) login instead of login and password.
    bool LoginSecure() const { return loginSecure_; }
    void SetLoginSecure(bool secure) { loginSecure_ = secure; }
    QString Login() const { return login_; }
    void SetLogin(const QString& login) { login_ = login; }
    QString Password() const { return password_; }
    void SetPassword(const QString& password) { password_ = password; }

    // Connects; raises DmoError when the server is unknown or the login fails.
    void Connect(const QString& serverName, const QString& login = {},
                 const QString& password = {});
    // Connects again with the name, login and password last used.
    void Connect();
    void Disconnect();
    bool IsConnected() const { return conn_->isOpen(); }
    QString Name() const { return name_; }
    std::shared_ptr<dmo::Databases> Databases();
    NamesPtr ListCollations();

    const ConnectionPtr& connection() const { return conn_; }

private:
    ConnectionPtr conn_;
    QString name_;
    QString login_;
    QString password_;
    bool loginSecure_ = false;
    std::shared_ptr<dmo::Databases> databases_;
};

using SQLServer2 = SQLServer;
using SQLServerPtr = std::shared_ptr<SQLServer>;

} // namespace dmo
