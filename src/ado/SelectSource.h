#pragma once
#include <QString>

namespace ado {

// What a record source says about its rows: a SELECT over one table can be edited.
struct SelectSource {
    bool isSelect = false;
    bool singleTable = false; // no join, union, grouping, DISTINCT or derived table
    QString table;            // the table as written: [dbo].[Orders], Orders, db..t

    static SelectSource analyze(const QString& text);
};

} // namespace ado
