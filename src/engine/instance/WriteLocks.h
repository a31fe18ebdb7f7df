#pragma once
// Write locks on database files, shared by the sessions of one instance: one session at a time
// writes a database; the others wait their turn in order of arrival, each up to its own timeout.

#include <QString>

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>

namespace engine {

class WriteLocks {
public:
    // Takes the lock of `file` for session `owner`; false when timeoutMs passed first
    // (0: do not wait). A session that holds it already gets it at once.
    bool acquire(const QString& file, int owner, int timeoutMs);
    void release(const QString& file, int owner);
    // The session that holds the lock, 0 when none (for messages).
    int holder(const QString& file) const;

private:
    struct Entry {
        int owner = 0;
        std::deque<int> waiting;
    };
    mutable std::mutex mutex_;
    std::condition_variable freed_;
    std::map<QString, Entry> locks_;
};

} // namespace engine
