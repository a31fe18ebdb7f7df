// Per-file write locks with waiting in order of arrival.

#include "engine/instance/WriteLocks.h"

#include <algorithm>
#include <chrono>

namespace engine {

bool WriteLocks::acquire(const QString& file, int owner, int timeoutMs)
{
    std::unique_lock lock(mutex_);
    Entry& e = locks_[file];
    if (e.owner == owner) return true;
    if (e.owner == 0 && e.waiting.empty()) {
        e.owner = owner;
        return true;
    }
    if (timeoutMs <= 0) return false;
    e.waiting.push_back(owner);
    auto mine = [&] { return e.owner == 0 && e.waiting.front() == owner; };
    if (freed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), mine)) {
        e.waiting.pop_front();
        e.owner = owner;
        return true;
    }
    e.waiting.erase(std::find(e.waiting.begin(), e.waiting.end(), owner));
    freed_.notify_all(); // the next in line may be first now
    return false;
}

void WriteLocks::release(const QString& file, int owner)
{
    std::lock_guard lock(mutex_);
    auto it = locks_.find(file);
    if (it == locks_.end() || it->second.owner != owner) return;
    it->second.owner = 0;
    if (it->second.waiting.empty())
        locks_.erase(it);
    else
        freed_.notify_all();
}

int WriteLocks::holder(const QString& file) const
{
    std::lock_guard lock(mutex_);
    auto it = locks_.find(file);
    return it == locks_.end() ? 0 : it->second.owner;
}

} // namespace engine
