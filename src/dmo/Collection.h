#pragma once
// Base of the object collections: 1-based Item by position or by name (any case), Count and
// Refresh. Members are read from the server on first use and again after Refresh.
#include "dmo/DmoError.h"

#include <QString>
#include <memory>
#include <vector>

namespace dmo {

template <class T> class Collection {
public:
    virtual ~Collection() = default;

    int Count() {
        ensure();
        return int(items_.size());
    }
    std::shared_ptr<T> Item(int index) {
        ensure();
        if (index < 1 || index > int(items_.size()))
            throw DmoError(Errors::OutOfRange,
                           QStringLiteral("Item %1 does not exist in the collection.").arg(index));
        return items_[size_t(index - 1)];
    }
    std::shared_ptr<T> Item(const QString& name) {
        ensure();
        for (const auto& item : items_)
            if (item->Name().compare(name, Qt::CaseInsensitive) == 0)
                return item;
        throw DmoError(Errors::NotFound,
                       QStringLiteral("'%1' was not found in the collection.").arg(name));
    }
    // Reads the members again; every member object is new afterwards.
    void Refresh(bool releaseMemberObjects = false) {
        (void)releaseMemberObjects;
        if (!fromServer())
            return;
        loaded_ = false;
        ensure();
    }
    // The members are read again on their next use.
    void invalidate() { loaded_ = false; }
    // 1-based position of the member named name (any case), 0 when absent.
    int indexOf(const QString& name) {
        ensure();
        for (size_t i = 0; i < items_.size(); ++i)
            if (items_[i]->Name().compare(name, Qt::CaseInsensitive) == 0)
                return int(i) + 1;
        return 0;
    }
    const std::vector<std::shared_ptr<T>>& items() {
        ensure();
        return items_;
    }

protected:
    // Whether the members come from the server (false for a collection of unattached objects).
    virtual bool fromServer() const = 0;
    virtual std::vector<std::shared_ptr<T>> load() = 0;
    void ensure() {
        if (loaded_ || !fromServer())
            return;
        items_ = load();
        loaded_ = true;
    }
    std::vector<std::shared_ptr<T>> items_;
    bool loaded_ = false;
};

} // namespace dmo
