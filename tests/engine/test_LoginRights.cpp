// Login rights: what an ordinary SQL login can reach, and where administrator rights come from.

#include "common/TempDir.h"
#include "engine/Engine.h"

#include <QDir>

#include <gtest/gtest.h>

#include <sqlite3.h>

using namespace engine;

namespace {

// Everything a batch showed its user, as one text.
QString shown(const BatchResult& r)
{
    QString all;
    for (const ResultSet& rs : r.resultSets)
        for (size_t row = 0; row < rs.rows.size(); ++row)
            for (size_t col = 0; col < rs.columns.size(); ++col) all += rs.text(row, col) + QLatin1Char('\n');
    for (const Message& m : r.messages) all += m.text + QLatin1Char('\n');
    return all;
}

void makeSysadmin(const QString& dataDir, const char* login)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QDir(dataDir).filePath(QStringLiteral("master.db")).toUtf8().constData(), &db), SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "UPDATE cat_logins SET sysadmin = 1 WHERE name = ?1", -1, &st, nullptr), SQLITE_OK);
    sqlite3_bind_text(st, 1, login, -1, SQLITE_STATIC);
    EXPECT_EQ(sqlite3_step(st), SQLITE_DONE);
    EXPECT_EQ(sqlite3_changes(db), 1);
    sqlite3_finalize(st);
    sqlite3_close(db);
}

} // namespace

TEST(LoginRights, AnOrdinaryLoginCannotReachTheCatalogsInternals)
{
    TempDir tmp;
    auto inst = Instance::open(QStringLiteral("X"), tmp.path());
    auto admin = inst->connectIntegrated();
    ASSERT_FALSE(admin->execute(QStringLiteral("EXEC sp_addlogin 'joe', 'pw'\nEXEC sp_addlogin 'ann', 'other'")).failed());
    auto joe = inst->connect(QStringLiteral("joe"), QStringLiteral("pw"));

    // a literal is a value, whatever it holds
    BatchResult r = joe->execute(QStringLiteral(
        "SELECT CONVERT(varchar(8000), '%10', LEN('||(SELECT group_concat(name||char(58)||password_hash, char(10)) FROM d1.cat_logins)||'))"));
    ASSERT_FALSE(r.failed()) << r.errors[0].text.toStdString();
    ASSERT_EQ(r.resultSets.size(), 1u);
    EXPECT_EQ(r.resultSets[0].text(0, 0), QStringLiteral("%10"));

    // names of the storage's own tables and schemas are not names of anything here
    const std::pair<const char*, int> attempts[] = {
        {"SELECT * FROM cat_logins", 208},
        {"SELECT * FROM master..cat_logins", 208},
        {"SELECT * FROM master.dbo.cat_logins", 208},
        {"SELECT * FROM d1.cat_logins", 208},
        {"SELECT * FROM [d1].[cat_logins]", 208},
        {"SELECT * FROM main.cat_logins", 208},
        {"SELECT * FROM sqlite_master", 208},
        {"SELECT * FROM sqlite_schema", 208},
        {"SELECT * FROM cat_objects", 208},
        {"SELECT * FROM t1001", 208},
        {"SELECT * FROM master.dbo.v_sysobjects", 208},
        {"EXEC('SELECT * FROM cat_logins')", 208},
        {"INSERT INTO cat_logins (name, sysadmin) VALUES ('eve', 1)", 208},
        {"UPDATE master..cat_logins SET sysadmin = 1", 208},
        {"DELETE FROM d1.cat_logins", 208},
        {"DROP TABLE cat_logins", 3701},
        {"EXEC sp_rename 'cat_logins', 'x'", 15225},
        {"EXEC sp_helptext 'cat_logins'", 15009},
        {"PRAGMA table_info(cat_logins)", 2812},
        {"SELECT sqlite_version()", 195},
        {"SELECT load_extension('x')", 195},
        {"EXEC sp_addlogin 'eve', 'pw'", 15247},
        {"EXEC sp_droplogin 'ann'", 15247},
    };
    for (const auto& [sql, number] : attempts) {
        BatchResult a = joe->execute(QLatin1String(sql));
        ASSERT_TRUE(a.failed()) << sql;
        EXPECT_EQ(a.errors[0].number, number) << sql << ": " << a.errors[0].text.toStdString();
        EXPECT_LT(a.errors[0].severity, 20) << sql;
        EXPECT_FALSE(shown(a).contains(QLatin1String("argon"))) << sql;
    }
    r = joe->execute(QStringLiteral("SELECT OBJECT_ID('cat_logins'), OBJECT_ID('master..cat_logins'), OBJECT_ID('sqlite_master')"));
    ASSERT_FALSE(r.failed());
    ASSERT_EQ(r.resultSets[0].rows.size(), 1u);
    for (const QVariant& v : r.resultSets[0].rows[0]) EXPECT_TRUE(v.isNull());

    // a table of the same name is the login's own table
    r = joe->execute(QStringLiteral("CREATE TABLE cat_logins (name varchar(10)) INSERT INTO cat_logins VALUES ('mine') "
                                    "SELECT name FROM cat_logins"));
    ASSERT_FALSE(r.failed()) << r.errors[0].text.toStdString();
    EXPECT_EQ(shown(r), QStringLiteral("mine\n"));

    // the logins are as they were
    EXPECT_NO_THROW(inst->connect(QStringLiteral("ann"), QStringLiteral("other")));
    EXPECT_THROW(inst->connect(QStringLiteral("eve"), QStringLiteral("pw")), SqlError);
    EXPECT_EQ(joe->execute(QStringLiteral("EXEC sp_addlogin 'eve', 'pw'")).errors.at(0).number, 15247);
}

TEST(LoginRights, AdministratorRightsComeFromTheServerRoleNotTheName)
{
    TempDir tmp;
    {
        auto inst = Instance::open(QStringLiteral("X"), tmp.path());
        auto admin = inst->connectIntegrated();
        ASSERT_FALSE(admin->execute(QStringLiteral("EXEC sp_addlogin 'dbo', 'pw'\nEXEC sp_addlogin 'boss', 'pw'\n"
                                                   "EXEC sp_addlogin 'joe', 'pw'")).failed());
        for (const char* login : {"dbo", "boss"}) {
            auto s = inst->connect(QLatin1String(login), QStringLiteral("pw"));
            for (const char* sql : {"EXEC sp_addlogin 'eve', 'pw'", "EXEC sp_droplogin 'joe'"}) {
                BatchResult r = s->execute(QLatin1String(sql));
                ASSERT_TRUE(r.failed()) << login << ": " << sql;
                EXPECT_EQ(r.errors[0].number, 15247) << login << ": " << sql;
            }
        }
        EXPECT_THROW(inst->connect(QStringLiteral("eve"), QStringLiteral("pw")), SqlError);
        EXPECT_NO_THROW(inst->connect(QStringLiteral("joe"), QStringLiteral("pw")));
    }
    // a login made an administrator has the rights, whatever its name
    makeSysadmin(tmp.path(), "boss");
    auto inst = Instance::open(QStringLiteral("X"), tmp.path());
    auto boss = inst->connect(QStringLiteral("boss"), QStringLiteral("pw"));
    BatchResult r = boss->execute(QStringLiteral("EXEC sp_addlogin 'eve', 'pw'\nEXEC sp_droplogin 'joe'"));
    ASSERT_FALSE(r.failed()) << r.errors[0].text.toStdString();
    EXPECT_NO_THROW(inst->connect(QStringLiteral("eve"), QStringLiteral("pw")));
    EXPECT_THROW(inst->connect(QStringLiteral("joe"), QStringLiteral("pw")), SqlError);
    auto dbo = inst->connect(QStringLiteral("dbo"), QStringLiteral("pw"));
    EXPECT_EQ(dbo->execute(QStringLiteral("EXEC sp_droplogin 'eve'")).errors.at(0).number, 15247);
}

TEST(LoginRights, OnlyAnAdministratorRaisesAFatalSeverityAndOnlyWithLog)
{
    TempDir tmp;
    auto inst = Instance::open(QStringLiteral("X"), tmp.path());
    auto admin = inst->connectIntegrated();
    ASSERT_FALSE(admin->execute(QStringLiteral("EXEC sp_addlogin 'joe', 'pw'")).failed());
    auto joe = inst->connect(QStringLiteral("joe"), QStringLiteral("pw"));
    BatchResult r = joe->execute(QStringLiteral("RAISERROR('stop', 20, 1) WITH LOG"));
    ASSERT_TRUE(r.failed());
    EXPECT_EQ(r.errors[0].number, 2754);
    EXPECT_EQ(r.errors[0].severity, 16);
    r = admin->execute(QStringLiteral("RAISERROR('stop', 20, 1) WITH LOG"));
    ASSERT_TRUE(r.failed());
    EXPECT_EQ(r.errors[0].number, 50000);
    EXPECT_EQ(r.errors[0].severity, 20);
    EXPECT_EQ(r.errors[0].text, QStringLiteral("stop"));
}

TEST(LoginRights, NoLoginChangesTheSystemTables)
{
    TempDir tmp;
    auto inst = Instance::open(QStringLiteral("X"), tmp.path());
    auto admin = inst->connectIntegrated();
    ASSERT_FALSE(admin->execute(QStringLiteral("EXEC sp_addlogin 'joe', 'pw'")).failed());
    auto joe = inst->connect(QStringLiteral("joe"), QStringLiteral("pw"));
    for (Session* s : {admin.get(), joe.get()}) {
        for (const char* sql : {"UPDATE sysobjects SET name = 'x'", "DELETE FROM syscolumns", "INSERT INTO systypes (name) VALUES ('x')",
                                "DELETE o FROM sysobjects o", "TRUNCATE TABLE sysindexes", "UPDATE master.dbo.sysdatabases SET name = 'x'"}) {
            BatchResult r = s->execute(QString::fromLatin1(sql));
            ASSERT_EQ(r.errors.size(), 1u) << sql;
            EXPECT_EQ(r.errors[0].number, 259) << sql;
            EXPECT_EQ(r.errors[0].severity, 16) << sql;
        }
    }
    // a login's own table of that name is its own
    ASSERT_FALSE(joe->execute(QStringLiteral("CREATE TABLE joe.sysobjects (a int) INSERT INTO joe.sysobjects VALUES (1)")).failed());
    EXPECT_EQ(joe->execute(QStringLiteral("CREATE TABLE sysobjects (a int)")).errors.at(0).number, 2714);
    BatchResult r = admin->execute(QStringLiteral("SELECT COUNT(*) FROM master.dbo.sysdatabases"));
    ASSERT_FALSE(r.failed());
    EXPECT_EQ(r.resultSets.at(0).text(0, 0), QStringLiteral("4"));
}
