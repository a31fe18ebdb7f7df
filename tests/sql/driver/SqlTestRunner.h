#pragma once
// Runs a case file on a fresh temporary instance, in one integrated session in master.

#include "SqlTestFile.h"

#include <QString>
#include <QStringList>

namespace sqltest {

struct Outcome {
    int passed = 0;
    int failed = 0;
    QStringList failures; // "file:line: what went wrong"
};

Outcome runFile(const QString& path);

} // namespace sqltest
