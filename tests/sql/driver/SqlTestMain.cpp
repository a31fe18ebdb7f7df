// sqltest FILE...: runs T-SQL case files; the last line reads "N passed, N failed".

#include "SqlTestRunner.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QStringList files = app.arguments().mid(1);
    if (files.isEmpty()) {
        out << "usage: sqltest FILE...\n0 passed, 0 failed\n";
        return 2;
    }
    int passed = 0, failed = 0;
    for (const QString& f : files) {
        sqltest::Outcome o = sqltest::runFile(f);
        passed += o.passed;
        failed += o.failed;
        for (const QString& msg : o.failures) out << msg << '\n';
    }
    out << passed << " passed, " << failed << " failed\n";
    return failed == 0 ? 0 : 1;
}
