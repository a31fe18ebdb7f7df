#pragma once
// A T-SQL case file: directives, batches and expected results (see ARCHITECTURE.md, "Tests").

#include <QString>
#include <QStringList>

#include <vector>

namespace sqltest {

struct Case {
    enum Kind { StatementOk, StatementError, Query, Messages };
    Kind kind = StatementOk;
    int line = 0;          // line of the directive
    int errorNumber = 0;   // StatementError
    bool rowsort = false;  // Query
    QString batch;
    QStringList expected;  // Query: rows as tab-separated texts; Messages: message texts
};

struct File {
    QString path;
    std::vector<Case> cases;
};

// Reads a case file; a malformed directive is reported through `error`.
File readFile(const QString& path, QString& error);
File parseText(const QString& text, const QString& path, QString& error);

} // namespace sqltest
