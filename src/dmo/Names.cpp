#include "dmo/Names.h"

#include "dmo/DmoError.h"

namespace dmo {

namespace {
[[noreturn]] void outOfRange(int index) {
    throw DmoError(Errors::OutOfRange, QStringLiteral("Item %1 does not exist.").arg(index));
}
} // namespace

QString Names::Item(int index) const {
    if (index < 1 || index > Count())
        outOfRange(index);
    return names_[index - 1];
}

void Names::Remove(int index) {
    if (index < 1 || index > Count())
        outOfRange(index);
    names_.removeAt(index - 1);
}

int Names::FindName(const QString& name) const {
    for (int i = 0; i < names_.size(); ++i)
        if (names_[i].compare(name, Qt::CaseInsensitive) == 0)
            return i + 1;
    return 0;
}

std::shared_ptr<ListMember> SQLObjectList::Item(int index) const {
    if (index < 1 || index > Count())
        outOfRange(index);
    return items_[size_t(index - 1)];
}

std::shared_ptr<ListMember> SQLObjectList::Item(const QString& name) const {
    for (const auto& m : items_)
        if (m->Name().compare(name, Qt::CaseInsensitive) == 0)
            return m;
    throw DmoError(Errors::NotFound, QStringLiteral("'%1' was not found in the list.").arg(name));
}

} // namespace dmo
