// One GoogleTest case per .test file under SQL_TEST_DIR.

#include "SqlTestRunner.h"

#include <QDir>
#include <QDirIterator>

#include <gtest/gtest.h>

namespace {

class SqlFileTest : public testing::Test {
public:
    explicit SqlFileTest(QString path) : path_(std::move(path)) {}
    void TestBody() override
    {
        sqltest::Outcome o = sqltest::runFile(path_);
        for (const QString& f : o.failures) ADD_FAILURE() << f.toStdString();
        EXPECT_EQ(o.failed, 0);
        EXPECT_GT(o.passed, 0) << "no cases in " << path_.toStdString();
    }

private:
    QString path_;
};

const bool registered = [] {
    QDir root(QStringLiteral(SQL_TEST_DIR));
    QStringList files;
    QDirIterator it(root.path(), {QStringLiteral("*.test")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) files << it.next();
    files.sort();
    for (const QString& f : files) {
        QString rel = root.relativeFilePath(f);
        QString area = rel.section(QLatin1Char('/'), 0, -2);
        QString name = rel.section(QLatin1Char('/'), -1).chopped(5);
        auto clean = [](QString s) {
            for (QChar& c : s)
                if (!c.isLetterOrNumber()) c = QLatin1Char('_');
            return s.isEmpty() ? QStringLiteral("root") : s;
        };
        testing::RegisterTest(("Sql_" + clean(area)).toStdString().c_str(), clean(name).toStdString().c_str(), nullptr, nullptr,
                              __FILE__, __LINE__, [f]() -> testing::Test* { return new SqlFileTest(f); });
    }
    return true;
}();

} // namespace
