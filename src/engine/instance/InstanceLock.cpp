// The data folder's lock: flock() on a file in the folder, released by the system when the
// process ends however it ends; the file records the holder's process id and program name.

#include "engine/instance/InstanceLock.h"

#include "engine/Errors.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace engine {

namespace {

QString programName()
{
    QString name = QCoreApplication::instance() ? QCoreApplication::applicationName() : QString();
    if (name.isEmpty()) name = QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).fileName();
    return name.isEmpty() ? QStringLiteral("unknown") : name;
}

QByteArray readAll(int fd)
{
    QByteArray data;
    char buf[512];
    ssize_t n;
    if (::lseek(fd, 0, SEEK_SET) < 0) return data;
    while ((n = ::read(fd, buf, sizeof buf)) > 0 && data.size() < 4096) data.append(buf, qsizetype(n));
    return data;
}

} // namespace

InstanceLock::InstanceLock(const QString& dataDir)
{
    const QByteArray path = QFile::encodeName(QDir(dataDir).filePath(fileName()));
    fd_ = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd_ < 0) throw Errors::internal(QStringLiteral("cannot open %1").arg(QString::fromLocal8Bit(path)));
    ::fchmod(fd_, 0600);
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        // the holder writes its name just after taking the lock: give it a moment
        QByteArray info;
        for (int i = 0; i < 20 && !info.contains('\n'); ++i) {
            info = readAll(fd_);
            if (!info.contains('\n')) QThread::msleep(10);
        }
        ::close(fd_);
        fd_ = -1;
        const QList<QByteArray> lines = info.split('\n');
        long long pid = lines.value(0).trimmed().toLongLong();
        QString program = QString::fromUtf8(lines.value(1).trimmed());
        throw Errors::instanceInUse(dataDir, program.isEmpty() ? QStringLiteral("unknown") : program, pid);
    }
    const QByteArray info = QByteArray::number(qint64(::getpid())) + '\n' + programName().toUtf8() + '\n';
    // should the record fail, the lock still holds; a refused process then names no program
    if (::ftruncate(fd_, 0) == 0) (void)!::pwrite(fd_, info.constData(), size_t(info.size()), 0);
}

InstanceLock::~InstanceLock()
{
    if (fd_ >= 0) ::close(fd_);
}

} // namespace engine
