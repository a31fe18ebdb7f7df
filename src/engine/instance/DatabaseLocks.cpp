// Shared and exclusive per-file locks, waiting in order of arrival, with deadlock detection.

#include "engine/instance/DatabaseLocks.h"

#include <algorithm>
#include <chrono>
#include <functional>

namespace engine {

bool DatabaseLocks::compatible(const Entry& e, const Request& r)
{
    if (e.writer != 0 && e.writer != r.owner) return false;
    if (!r.write) return true;
    return std::all_of(e.readers.begin(), e.readers.end(), [&](int reader) { return reader == r.owner; });
}

bool DatabaseLocks::grantable(const Entry& e, size_t index) const
{
    const Request& r = e.waiting[index];
    if (!compatible(e, r)) return false;
    for (size_t i = 0; i < index; ++i)
        if (e.waiting[i].write || r.write) return false;
    return true;
}

void DatabaseLocks::grant(Entry& e, const Request& r)
{
    if (r.write) {
        e.readers.erase(r.owner);
        e.writer = r.owner;
    } else {
        e.readers.insert(r.owner);
    }
}

std::vector<int> DatabaseLocks::waitsFor(int owner) const
{
    std::vector<int> out;
    for (const auto& [file, e] : locks_) {
        for (size_t i = 0; i < e.waiting.size(); ++i) {
            const Request& r = e.waiting[i];
            if (r.owner != owner) continue;
            if (e.writer != 0 && e.writer != owner) out.push_back(e.writer);
            if (r.write)
                for (int reader : e.readers)
                    if (reader != owner) out.push_back(reader);
            for (size_t j = 0; j < i; ++j)
                if (e.waiting[j].write || r.write) out.push_back(e.waiting[j].owner);
            return out; // a session waits for one lock at a time
        }
    }
    return out;
}

bool DatabaseLocks::deadlockVictim(int owner) const
{
    auto orderOf = [&](int session) {
        for (const auto& [file, e] : locks_)
            for (const Request& r : e.waiting)
                if (r.owner == session) return r.order;
        return -1LL;
    };
    // depth-first from owner; a path that comes back to it is a cycle
    std::vector<int> path{owner};
    std::set<int> seen{owner};
    std::function<bool(int)> back = [&](int from) {
        for (int next : waitsFor(from)) {
            if (next == owner) return true;
            if (!seen.insert(next).second) continue;
            path.push_back(next);
            if (back(next)) return true;
            path.pop_back();
        }
        return false;
    };
    if (!back(owner)) return false;
    int newest = *std::max_element(path.begin(), path.end(), [&](int a, int b) { return orderOf(a) < orderOf(b); });
    return newest == owner;
}

DatabaseLocks::Result DatabaseLocks::acquire(const QString& file, int owner, bool write, int timeoutMs)
{
    std::unique_lock lock(mutex_);
    Entry& e = locks_[file];
    if (e.writer == owner || (!write && e.readers.count(owner))) return Granted;
    Request request{owner, write, ++nextOrder_};
    const bool upgrade = e.readers.count(owner) > 0;
    if (compatible(e, request) && (upgrade || e.waiting.empty())) {
        grant(e, request);
        return Granted;
    }
    if (timeoutMs <= 0) {
        if (e.writer == 0 && e.readers.empty() && e.waiting.empty()) locks_.erase(file);
        return TimedOut;
    }
    // a reader that asks to write goes first: the others in the queue wait for its lock anyway
    auto at = upgrade ? std::find_if(e.waiting.begin(), e.waiting.end(), [&](const Request& r) { return !e.readers.count(r.owner); })
                      : e.waiting.end();
    e.waiting.insert(at, request);
    changed_.notify_all(); // others may be in a cycle through this session now
    auto index = [&] {
        return size_t(std::find_if(e.waiting.begin(), e.waiting.end(), [&](const Request& r) { return r.owner == owner; }) -
                      e.waiting.begin());
    };
    auto leave = [&](Result result) {
        size_t i = index();
        if (result == Granted) grant(e, e.waiting[i]);
        e.waiting.erase(e.waiting.begin() + std::ptrdiff_t(i));
        if (e.writer == 0 && e.readers.empty() && e.waiting.empty()) locks_.erase(file);
        else changed_.notify_all(); // the next in line may be first now
        return result;
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (grantable(e, index())) return leave(Granted);
        if (deadlockVictim(owner)) return leave(Deadlock);
        if (changed_.wait_until(lock, deadline) == std::cv_status::timeout) {
            if (grantable(e, index())) return leave(Granted);
            return leave(TimedOut);
        }
    }
}

void DatabaseLocks::release(const QString& file, int owner)
{
    std::lock_guard lock(mutex_);
    auto it = locks_.find(file);
    if (it == locks_.end()) return;
    Entry& e = it->second;
    if (e.writer == owner) e.writer = 0;
    else if (!e.readers.erase(owner)) return;
    if (e.writer == 0 && e.readers.empty() && e.waiting.empty())
        locks_.erase(it);
    else
        changed_.notify_all();
}

DatabaseLocks::Blocker DatabaseLocks::blocker(const QString& file, int owner) const
{
    std::lock_guard lock(mutex_);
    auto it = locks_.find(file);
    if (it == locks_.end()) return {};
    const Entry& e = it->second;
    if (e.writer != 0 && e.writer != owner) return {e.writer, true};
    for (int reader : e.readers)
        if (reader != owner) return {reader, false};
    for (const Request& r : e.waiting)
        if (r.owner != owner) return {r.owner, r.write};
    return {};
}

} // namespace engine
