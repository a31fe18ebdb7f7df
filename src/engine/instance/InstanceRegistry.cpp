// Instance::open / forServer: one instance object per data directory within the process.

#include "engine/Errors.h"
#include "engine/instance/InstanceImpl.h"

#include <QDir>
#include <QRegularExpression>
#include <QMutex>
#include <QMutexLocker>
#include <QStandardPaths>
#include <QSysInfo>

#include <map>

namespace engine {

namespace {
QMutex registryMutex;
std::map<QString, std::weak_ptr<InstanceImpl>>& registry()
{
    static std::map<QString, std::weak_ptr<InstanceImpl>> r;
    return r;
}
QString& rootOverride()
{
    static QString r;
    return r;
}
} // namespace

std::shared_ptr<Instance> Instance::open(const QString& serverName, const QString& dataDir)
{
    QString key = QDir(dataDir).absolutePath();
    QMutexLocker lock(&registryMutex);
    if (auto existing = registry()[key].lock()) return existing;
    auto inst = std::make_shared<InstanceImpl>(serverName, key);
    inst->start();
    registry()[key] = inst;
    return inst;
}

void Instance::setDataRoot(const QString& root)
{
    QMutexLocker lock(&registryMutex);
    rootOverride() = root;
}

QString Instance::dataRoot()
{
    QMutexLocker lock(&registryMutex);
    if (!rootOverride().isEmpty()) return rootOverride();
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + QStringLiteral("/servers");
}

std::shared_ptr<Instance> Instance::forServer(const QString& serverName)
{
    QString name = serverName.trimmed();
    QString machine = name, instanceName;
    int slash = name.indexOf(QLatin1Char('\\'));
    if (slash >= 0) {
        machine = name.left(slash);
        instanceName = name.mid(slash + 1);
    }
    QString host = QSysInfo::machineHostName();
    bool local = machine.compare(QLatin1String("(local)"), Qt::CaseInsensitive) == 0 || machine == QLatin1String(".") ||
                 machine.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 ||
                 machine.compare(QLatin1String("127.0.0.1")) == 0 ||
                 (!host.isEmpty() && machine.compare(host, Qt::CaseInsensitive) == 0);
    if (!local || (slash >= 0 && instanceName.isEmpty())) throw Errors::serverNotFound();
    // directory names: the default instance, or the named one in upper case
    static const QRegularExpression bad(QStringLiteral("[^A-Za-z0-9_$-]"));
    QString dirName = instanceName.isEmpty() ? QStringLiteral("MSSQLSERVER") : instanceName.toUpper();
    if (dirName.contains(bad)) throw Errors::serverNotFound();
    QString shown = instanceName.isEmpty() ? host.toUpper() : host.toUpper() + QLatin1Char('\\') + instanceName.toUpper();
    return open(shown, QDir(dataRoot()).filePath(dirName));
}

} // namespace engine
