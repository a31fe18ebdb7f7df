#include "SqlTestRunner.h"

#include "engine/Engine.h"

#include <QTemporaryDir>

#include <algorithm>

namespace sqltest {

namespace {

QString rowText(const engine::ResultSet& rs, size_t r)
{
    QStringList cells;
    for (size_t c = 0; c < rs.columns.size(); ++c)
        cells << (rs.rows[r][c].isNull() ? QStringLiteral("NULL") : rs.text(r, c));
    return cells.join(QLatin1Char('\t'));
}

QString errorsText(const engine::BatchResult& r)
{
    QStringList l;
    for (const engine::Message& m : r.errors) l << QStringLiteral("%1: %2").arg(m.number).arg(m.text);
    return l.join(QStringLiteral("; "));
}

QString check(const Case& c, const engine::BatchResult& r)
{
    switch (c.kind) {
    case Case::StatementOk:
        if (r.failed()) return QStringLiteral("expected success, got error %1").arg(errorsText(r));
        return {};
    case Case::StatementError:
        if (!r.failed()) return QStringLiteral("expected error %1, got success").arg(c.errorNumber);
        if (r.errors.front().number != c.errorNumber)
            return QStringLiteral("expected error %1, got %2").arg(c.errorNumber).arg(errorsText(r));
        return {};
    case Case::Query: {
        if (r.failed()) return QStringLiteral("query failed: %1").arg(errorsText(r));
        if (r.resultSets.empty()) return QStringLiteral("query returned no result set");
        const engine::ResultSet& rs = r.resultSets.front();
        QStringList got;
        for (size_t i = 0; i < rs.rows.size(); ++i) got << rowText(rs, i);
        QStringList want = c.expected;
        if (c.rowsort) {
            std::sort(got.begin(), got.end());
            std::sort(want.begin(), want.end());
        }
        if (got != want)
            return QStringLiteral("rows differ\n  expected:\n    %1\n  got:\n    %2")
                .arg(want.join(QStringLiteral("\n    ")), got.join(QStringLiteral("\n    ")));
        return {};
    }
    case Case::Messages: {
        QStringList got;
        for (const engine::Message& m : r.messages) got << m.text;
        if (got != c.expected)
            return QStringLiteral("messages differ\n  expected:\n    %1\n  got:\n    %2")
                .arg(c.expected.join(QStringLiteral("\n    ")), got.join(QStringLiteral("\n    ")));
        return {};
    }
    }
    return {};
}

} // namespace

Outcome runFile(const QString& path)
{
    Outcome out;
    QString error;
    File f = readFile(path, error);
    if (!error.isEmpty()) {
        out.failed = 1;
        out.failures << error;
        return out;
    }
    QTemporaryDir dir;
    try {
        auto instance = engine::Instance::open(QStringLiteral("SQLTEST"), dir.path() + QStringLiteral("/instance"));
        auto session = instance->connectIntegrated();
        for (const Case& c : f.cases) {
            engine::BatchResult r = session->execute(c.batch);
            QString problem = check(c, r);
            if (problem.isEmpty()) {
                ++out.passed;
            } else {
                ++out.failed;
                out.failures << QStringLiteral("%1:%2: %3").arg(path).arg(c.line).arg(problem);
            }
        }
    } catch (const engine::SqlError& e) {
        ++out.failed;
        out.failures << QStringLiteral("%1: instance failed: %2").arg(path, e.message().text);
    }
    return out;
}

} // namespace sqltest
