#pragma once
// An exclusive lock on an instance's data folder, held by one process while it has the instance
// open: a second process is refused with the name and process id of the one holding it.

#include <QString>

namespace engine {

class InstanceLock {
public:
    // Throws SqlError 17 naming the holder when another process has the folder.
    explicit InstanceLock(const QString& dataDir);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    static QString fileName() { return QStringLiteral("instance.lock"); }

private:
    int fd_ = -1;
};

} // namespace engine
