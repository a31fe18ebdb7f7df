#pragma once
// A unique index of SQL Server counts NULL as a value: one NULL key (or one key with the same
// NULLs and values) only. SQLite's unique index lets any key with a NULL in; a second, partial
// unique index over the keys that hold a NULL, with NULL made a value, closes the gap.

#include "engine/catalog/CatalogTypes.h"

#include <QString>

namespace engine::catalog {

// True when the unique index has a nullable key column and so needs the companion index.
bool needsNullKeyIndex(const Table& t, const Index& ix);
// Name of the companion index beside the index's physical name.
QString nullKeyIndexName(const QString& physicalIndexName);
// Key terms of the companion index: ifnull("c2", X'') COLLATE TSQL_CI, ...
QString nullKeyTerms(const Table& t, const Index& ix);
// Its WHERE condition: "c2" IS NULL OR "c3" IS NULL.
QString nullKeyCondition(const Table& t, const Index& ix);

} // namespace engine::catalog
