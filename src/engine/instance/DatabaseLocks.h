#pragma once
// Locks on database files, shared by the sessions of one instance: many readers or one writer
// per file; the others wait their turn in order of arrival, each up to its own timeout. Sessions
// that wait on each other in a cycle are found at once and one of them is refused (deadlock).

#include <QString>

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <set>
#include <vector>

namespace engine {

class DatabaseLocks {
public:
    enum Result { Granted, TimedOut, Deadlock };
    // Takes the lock of `file` for session `owner`, to read (shared) or to write (alone); a reader
    // that asks to write goes ahead of the sessions waiting. timeoutMs 0: do not wait.
    Result acquire(const QString& file, int owner, bool write, int timeoutMs);
    void release(const QString& file, int owner);
    // A session in the way of `owner` (for messages): the writer, else a reader; 0 when none.
    struct Blocker {
        int spid = 0;
        bool writing = false;
    };
    Blocker blocker(const QString& file, int owner) const;

private:
    struct Request {
        int owner;
        bool write;
        long long order; // when it began to wait: the newest in a cycle gives way
    };
    struct Entry {
        int writer = 0;
        std::set<int> readers;
        std::deque<Request> waiting;
    };
    static bool compatible(const Entry& e, const Request& r);
    bool grantable(const Entry& e, size_t index) const;
    // The sessions `owner` waits for: the holders in its way and those ahead of it in the queue.
    std::vector<int> waitsFor(int owner) const;
    // True when `owner` waits in a cycle and is the one to give way.
    bool deadlockVictim(int owner) const;
    static void grant(Entry& e, const Request& r);

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::map<QString, Entry> locks_;
    long long nextOrder_ = 0;
};

} // namespace engine
