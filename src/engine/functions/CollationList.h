#pragma once
// The server's collation names: the Windows collations with their suffixes, then the SQL_
// collations, in the server's order.

#include <QString>
#include <QStringList>

#include <optional>

namespace engine::functions {

const QStringList& collationNames();
// The name as listed, found without regard to case; nullopt when unknown.
std::optional<QString> findCollation(const QString& name);
// A description of the collation from its parts: "Latin1-General, case-insensitive, accent-sensitive, ...".
QString collationDescription(const QString& name);
// Case-sensitive comparison for data in this collation (CS or BIN).
bool collationCaseSensitive(const QString& name);

} // namespace engine::functions
