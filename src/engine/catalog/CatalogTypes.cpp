#include "engine/catalog/CatalogTypes.h"

namespace engine::catalog {

const Column* Table::column(const QString& n) const
{
    for (const Column& c : columns)
        if (c.name.compare(n, Qt::CaseInsensitive) == 0) return &c;
    return nullptr;
}

Column* Table::column(const QString& n)
{
    for (Column& c : columns)
        if (c.name.compare(n, Qt::CaseInsensitive) == 0) return &c;
    return nullptr;
}

const Column* Table::columnById(int colid) const
{
    for (const Column& c : columns)
        if (c.colid == colid) return &c;
    return nullptr;
}

const Column* Table::identityColumn() const
{
    for (const Column& c : columns)
        if (c.identity) return &c;
    return nullptr;
}

const Index* Table::primaryKey() const
{
    for (const Index& i : indexes)
        if (i.primaryKey) return &i;
    return nullptr;
}

const Index* Table::index(const QString& n) const
{
    for (const Index& i : indexes)
        if (i.name.compare(n, Qt::CaseInsensitive) == 0) return &i;
    return nullptr;
}

int Table::nextColid() const
{
    int m = 0;
    for (const Column& c : columns) m = std::max(m, c.colid);
    return m + 1;
}

int Table::nextIndid(bool clustered) const
{
    if (clustered) return 1;
    int m = 1;
    for (const Index& i : indexes) m = std::max(m, i.indid);
    return m + 1;
}

} // namespace engine::catalog
