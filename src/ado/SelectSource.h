#pragma once
#include <QList>
#include <QString>

namespace ado {

// What a record source says about its rows: a SELECT over one table can be edited.
struct SelectSource {
    // One item of the select list.
    struct Item {
        bool star = false; // * or t.*: every column of the table, by its own name
        QString column;    // the table's column read unchanged, empty for anything else
        QString name;      // the name the result gives it (its alias, else the column)
    };

    bool isSelect = false;
    bool singleTable = false; // no join, union, grouping, DISTINCT or derived table
    QString table;            // the table as written: [dbo].[Orders], Orders, db..t
    QList<Item> items;        // of a single-table SELECT

    static SelectSource analyze(const QString& text);
};

} // namespace ado
