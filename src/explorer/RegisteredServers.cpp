#include "explorer/RegisteredServers.h"

#include "core/Settings.h"
#include "core/cServer.h"
#include "core/cServerCOL.h"
#include "core/cVarnolt.h"

namespace {
const QString kMark = QStringLiteral("<@>");
const QString kLocal = QStringLiteral("(LOCAL)");
} // namespace

QString ServerRecord(const cServer& server) {
    return kMark + server.ServerName() + u';' + (server.WinAut() ? u'1' : u'0') + u';' +
           server.Login() + u';' + server.Password();
}

bool ParseServerRecord(const QString& record, QString& name, bool& winAut, QString& login,
                       QString& password) {
    if (!record.startsWith(kMark))
        return false;
    const QString body = record.mid(kMark.size());
    // The password comes last and may hold ';'.
    const qsizetype a = body.indexOf(u';');
    const qsizetype b = a < 0 ? -1 : body.indexOf(u';', a + 1);
    const qsizetype c = b < 0 ? -1 : body.indexOf(u';', b + 1);
    if (c < 0)
        return false;
    name = body.left(a).trimmed();
    if (name.isEmpty())
        return false;
    winAut = body.mid(a + 1, b - a - 1).trimmed() == QLatin1String("1");
    login = body.mid(b + 1, c - b - 1);
    password = body.mid(c + 1);
    return true;
}

void RegisterServer(const cServer& server) {
    RegSetString(server.ServerName(), ServerRecord(server));
}

int LoadRegisteredServers() {
    struct Record {
        QString name, login, password;
        bool winAut = false;
    };
    auto read = [] {
        QList<Record> records;
        for (const QString& value : RegValueNames()) {
            Record r;
            if (ParseServerRecord(RegGetString(value), r.name, r.winAut, r.login, r.password))
                records << r;
        }
        return records;
    };
    QList<Record> records = read();
    if (records.isEmpty()) {
        RegisterServer(cServer(kLocal, true, {}, {}));
        records = read();
    }
    cServerCOL& servers = cVarnolt::instance().clsServers();
    int loaded = 0;
    for (const Record& r : records) {
        if (servers.GetServerByName(r.name))
            continue;
        servers.Add(r.name, r.winAut, r.login, r.password);
        ++loaded;
    }
    return loaded;
}
