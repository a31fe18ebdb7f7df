// Kept row counts: every path that adds or removes rows keeps a table's stored count equal to its
// rows, so a cursor over the whole table counts exactly the rows it fetches.

#include "engine/Engine.h"

#include "common/TempDir.h"

#include <QDir>
#include <QVariant>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <utility>
#include <vector>

using namespace engine;

namespace {

// A connection of its own to one database file, as another program would open it.
class RawFile {
public:
    explicit RawFile(const QString& path, bool write = false)
    {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db_, write ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY,
                            nullptr) != SQLITE_OK)
            ADD_FAILURE() << "cannot open " << path.toStdString();
        sqlite3_busy_timeout(db_, 10000);
    }
    ~RawFile() { sqlite3_close(db_); }
    RawFile(const RawFile&) = delete;
    RawFile& operator=(const RawFile&) = delete;

    // Every row of one statement; binds[i] is ?(i+1).
    std::vector<QVariantList> rows(const QString& sql, const QVariantList& binds = {}) const
    {
        std::vector<QVariantList> out;
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK) {
            ADD_FAILURE() << sql.toStdString() << ": " << sqlite3_errmsg(db_);
            return out;
        }
        for (int i = 0; i < binds.size(); ++i) {
            if (binds[i].typeId() == QMetaType::QString)
                sqlite3_bind_text(st, i + 1, binds[i].toString().toUtf8().constData(), -1, SQLITE_TRANSIENT);
            else
                sqlite3_bind_int64(st, i + 1, binds[i].toLongLong());
        }
        int rc = SQLITE_ROW;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            QVariantList row;
            for (int c = 0; c < sqlite3_column_count(st); ++c) {
                if (sqlite3_column_type(st, c) == SQLITE_NULL) row << QVariant();
                else if (sqlite3_column_type(st, c) == SQLITE_INTEGER) row << QVariant(qlonglong(sqlite3_column_int64(st, c)));
                else row << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c)));
            }
            out.push_back(row);
        }
        if (rc != SQLITE_DONE) ADD_FAILURE() << sql.toStdString() << ": " << sqlite3_errmsg(db_);
        sqlite3_finalize(st);
        return out;
    }
    void exec(const QString& sql)
    {
        char* err = nullptr;
        if (sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK) ADD_FAILURE() << sql.toStdString() << ": " << err;
        sqlite3_free(err);
    }

private:
    sqlite3* db_ = nullptr;
};

// rowsAre, with the call's own text and line in a failure's trace
#define EXPECT_ROWS(...)            \
    do {                            \
        SCOPED_TRACE(#__VA_ARGS__); \
        rowsAre(__VA_ARGS__);       \
    } while (0)

class RowCounts : public testing::Test {
protected:
    void SetUp() override { start(); }
    void TearDown() override { sweep(); }
    void start()
    {
        instance = Instance::open(QStringLiteral("ROWCOUNTS"), dir.path());
        session = instance->connectIntegrated();
    }
    void stop()
    {
        session.reset();
        instance.reset();
    }

    void ok(const QString& sql, Session* s = nullptr)
    {
        BatchResult r = (s ? *s : *session).execute(sql);
        ASSERT_FALSE(r.failed()) << sql.toStdString() << "\n -> " << r.errors.front().text.toStdString();
    }
    int error(const QString& sql, Session* s = nullptr)
    {
        BatchResult r = (s ? *s : *session).execute(sql);
        return r.failed() ? r.errors.front().number : 0;
    }
    QString fileOf(const QString& database) const
    {
        RawFile master(QDir(dir.path()).filePath(QStringLiteral("master.db")));
        auto f = master.rows(QStringLiteral("SELECT filename FROM cat_databases WHERE lower(name) = lower(?1)"), {database});
        return f.size() == 1 ? QDir(dir.path()).filePath(f[0][0].toString()) : QString();
    }
    // What the table window's cursor counts for a SELECT, and how many rows it then fetches.
    std::pair<long long, long long> cursor(const QString& select, Session* s = nullptr)
    {
        try {
            auto c = (s ? *s : *session).openQuery(select);
            const long long counted = c->count();
            long long fetched = 0;
            Row row;
            while (c->fetch(row)) ++fetched;
            return {counted, fetched};
        } catch (const SqlError& e) {
            ADD_FAILURE() << select.toStdString() << " -> " << e.what();
            return {-1, -1};
        }
    }
    // The cursor over a whole table (named "T", "#t", "##t" or "db.dbo.t") counts what it fetches,
    // and the table's kept count equals the rows stored in its file.
    void rowsAre(const QString& table, long long expected, Session* s = nullptr)
    {
        Session& ses = s ? *s : *session;
        const auto [counted, fetched] = cursor(QStringLiteral("SELECT * FROM ") + table, &ses);
        EXPECT_EQ(fetched, expected) << "rows fetched";
        EXPECT_EQ(counted, fetched) << "count() against the rows fetched";

        QString db = ses.currentDatabase(), name = table;
        if (table.startsWith(QLatin1String("##"))) {
            db = QStringLiteral("tempdb");
        } else if (table.startsWith(QLatin1Char('#'))) {
            db = QStringLiteral("tempdb");
            name = table + QStringLiteral("__") + QString::number(ses.spid());
        } else if (table.contains(QLatin1Char('.'))) {
            db = table.section(QLatin1Char('.'), 0, 0);
            name = table.section(QLatin1Char('.'), -1);
        }
        RawFile f(fileOf(db));
        auto id = f.rows(QStringLiteral("SELECT id FROM cat_objects WHERE lower(name) = lower(?1) AND xtype = 'U'"), {name});
        ASSERT_EQ(id.size(), 1u) << "no table " << name.toStdString() << " in " << db.toStdString();
        const qlonglong tableId = id[0][0].toLongLong();
        auto kept = f.rows(QStringLiteral("SELECT n FROM cat_rowcounts WHERE table_id = ?1"), {tableId});
        auto stored = f.rows(QStringLiteral("SELECT count(*) FROM t%1 NOT INDEXED").arg(tableId));
        ASSERT_EQ(kept.size(), 1u) << "no kept count for " << name.toStdString();
        ASSERT_EQ(stored.size(), 1u);
        EXPECT_EQ(kept[0][0].toLongLong(), stored[0][0].toLongLong()) << "kept count against the committed rows";
        // a session outside a transaction sees what is committed
        if (ses.tranCount() == 0) {
            EXPECT_EQ(stored[0][0].toLongLong(), fetched) << "committed rows against the rows fetched";
        }
    }
    // Every database file: each kept count equals its table's rows, and none outlives its table.
    void sweep()
    {
        if (!instance) return;
        RawFile master(QDir(dir.path()).filePath(QStringLiteral("master.db")));
        for (const QVariantList& d : master.rows(QStringLiteral("SELECT name, filename FROM cat_databases"))) {
            SCOPED_TRACE(d[0].toString().toStdString());
            RawFile f(QDir(dir.path()).filePath(d[1].toString()));
            const auto tables = f.rows(QStringLiteral("SELECT id, name FROM cat_objects WHERE xtype = 'U'"));
            if (f.rows(QStringLiteral("SELECT 1 FROM sqlite_master WHERE name = 'cat_rowcounts'")).empty()) {
                EXPECT_TRUE(tables.empty()) << "user tables but no cat_rowcounts";
                continue;
            }
            for (const QVariantList& t : tables) {
                auto kept = f.rows(QStringLiteral("SELECT n FROM cat_rowcounts WHERE table_id = ?1"), {t[0]});
                if (kept.empty()) continue; // counted on demand
                auto stored = f.rows(QStringLiteral("SELECT count(*) FROM t%1 NOT INDEXED").arg(t[0].toLongLong()));
                EXPECT_EQ(kept.at(0).at(0).toLongLong(), stored.at(0).at(0).toLongLong()) << t[1].toString().toStdString();
            }
            EXPECT_EQ(f.rows(QStringLiteral("SELECT table_id FROM cat_rowcounts WHERE table_id NOT IN "
                                            "(SELECT id FROM cat_objects WHERE xtype = 'U')")),
                      std::vector<QVariantList>{})
                << "kept counts of tables that are gone";
        }
    }

    TempDir dir;
    std::shared_ptr<Instance> instance;
    std::unique_ptr<Session> session;
};

const char* const kTable = "CREATE TABLE T (k int NOT NULL CONSTRAINT PK_T PRIMARY KEY, v varchar(10) NULL)\n"
                           "INSERT INTO T VALUES (1, 'a')\n"
                           "INSERT INTO T VALUES (2, 'b'), (3, 'a')";

TEST_F(RowCounts, InsertsCountWhatTheyAddAndARefusedOneNothing)
{
    ok(QStringLiteral("CREATE TABLE T (k int NOT NULL CONSTRAINT PK_T PRIMARY KEY, v varchar(10) NULL)"));
    EXPECT_ROWS(QStringLiteral("T"), 0);
    ok(QStringLiteral("INSERT INTO T VALUES (1, 'a')"));
    EXPECT_ROWS(QStringLiteral("T"), 1);
    ok(QStringLiteral("INSERT INTO T VALUES (2, 'b'), (3, 'a')"));
    EXPECT_ROWS(QStringLiteral("T"), 3);
    ok(QStringLiteral("INSERT INTO T SELECT k + 10, v FROM T"));
    ok(QStringLiteral("INSERT INTO T SELECT k, v FROM T WHERE 1 = 0"));
    EXPECT_ROWS(QStringLiteral("T"), 6);
    ok(QStringLiteral("CREATE VIEW VT AS SELECT k, v FROM T"));
    ok(QStringLiteral("INSERT INTO VT VALUES (20, 'v')"));
    EXPECT_ROWS(QStringLiteral("T"), 7);
    ok(QStringLiteral("CREATE TABLE D (id int IDENTITY, v int NULL DEFAULT 1) INSERT INTO D DEFAULT VALUES INSERT INTO D DEFAULT VALUES"));
    EXPECT_ROWS(QStringLiteral("D"), 2);

    // IGNORE_DUP_KEY: only the rows kept are counted, duplicates within the source too
    ok(QStringLiteral("CREATE TABLE U (k int NOT NULL, n int NULL) CREATE UNIQUE INDEX IX_U ON U (k) WITH IGNORE_DUP_KEY"));
    ok(QStringLiteral("INSERT INTO U VALUES (1, 0), (2, 0)"));
    BatchResult r = session->execute(QStringLiteral("INSERT INTO U SELECT k, 1 FROM T WHERE k < 20 UNION ALL SELECT 4, 2 UNION ALL SELECT 4, 3"));
    ASSERT_FALSE(r.failed());
    EXPECT_EQ(r.rowCount, 5); // 3, 11, 12, 13 and one 4 are new; 1, 2 and the other 4 skipped
    EXPECT_ROWS(QStringLiteral("U"), 7);
    ok(QStringLiteral("INSERT INTO U VALUES (1, 3)"));
    EXPECT_ROWS(QStringLiteral("U"), 7);

    // refused half-way: nothing of the statement stays
    EXPECT_EQ(error(QStringLiteral("INSERT INTO T VALUES (30, 'x'), (1, 'dup')")), 2627);
    EXPECT_EQ(error(QStringLiteral("INSERT INTO T SELECT k + 100, v FROM T UNION ALL SELECT 1, 'dup'")), 2627);
    EXPECT_EQ(error(QStringLiteral("INSERT INTO T SELECT k + 100, NULL FROM T UNION ALL SELECT NULL, 'n'")), 515);
    EXPECT_EQ(error(QStringLiteral("INSERT INTO T SELECT k + 100, v FROM T UNION ALL SELECT 'abc', 'c'")), 245);
    ok(QStringLiteral("CREATE VIEW VA AS SELECT k, v FROM T WHERE v = 'a' WITH CHECK OPTION"));
    EXPECT_EQ(error(QStringLiteral("INSERT INTO VA VALUES (40, 'a'), (41, 'b')")), 550);
    EXPECT_EQ(error(QStringLiteral("INSERT INTO VA SELECT k + 100, v FROM T")), 550);
    EXPECT_ROWS(QStringLiteral("T"), 7);
    ok(QStringLiteral("INSERT INTO VA VALUES (40, 'a')"));
    EXPECT_ROWS(QStringLiteral("T"), 8);
}

TEST_F(RowCounts, DeletesAndTruncateCountWhatTheyRemove)
{
    ok(QString::fromLatin1(kTable));
    ok(QStringLiteral("INSERT INTO T SELECT k + 10, v FROM T INSERT INTO T SELECT k + 100, v FROM T")); // 12 rows
    ok(QStringLiteral("CREATE TABLE Gone (k int) INSERT INTO Gone VALUES (11), (12), (999)"));
    ok(QStringLiteral("DELETE FROM T WHERE k = 1"));
    ok(QStringLiteral("DELETE FROM T WHERE k = 12345"));
    EXPECT_ROWS(QStringLiteral("T"), 11);
    ok(QStringLiteral("DELETE T FROM T JOIN Gone ON Gone.k = T.k"));
    EXPECT_ROWS(QStringLiteral("T"), 9);
    ok(QStringLiteral("DELETE FROM T FROM Gone WHERE T.k = Gone.k + 100"));
    EXPECT_ROWS(QStringLiteral("T"), 7);
    ok(QStringLiteral("CREATE VIEW VA AS SELECT k, v FROM T WHERE v = 'a'"));
    ok(QStringLiteral("DELETE FROM VA WHERE k > 100"));
    EXPECT_ROWS(QStringLiteral("T"), 4);
    ok(QStringLiteral("DELETE FROM VA"));
    EXPECT_ROWS(QStringLiteral("T"), 2);

    ok(QStringLiteral("BEGIN TRAN DELETE FROM T"));
    EXPECT_ROWS(QStringLiteral("T"), 0);
    ok(QStringLiteral("ROLLBACK"));
    EXPECT_ROWS(QStringLiteral("T"), 2);
    ok(QStringLiteral("BEGIN TRAN TRUNCATE TABLE T"));
    EXPECT_ROWS(QStringLiteral("T"), 0);
    ok(QStringLiteral("ROLLBACK"));
    EXPECT_ROWS(QStringLiteral("T"), 2);
    ok(QStringLiteral("TRUNCATE TABLE T"));
    EXPECT_ROWS(QStringLiteral("T"), 0);
    ok(QStringLiteral("INSERT INTO Gone SELECT k FROM Gone"));
    ok(QStringLiteral("DELETE FROM Gone"));
    EXPECT_ROWS(QStringLiteral("Gone"), 0);
}

TEST_F(RowCounts, UpdatesKeepTheCountEvenWhenKeysAreCheckedAtTheStatementsEnd)
{
    ok(QString::fromLatin1(kTable));
    ok(QStringLiteral("CREATE TABLE K (k int NOT NULL CONSTRAINT UQ_K UNIQUE, v int NULL) INSERT INTO K SELECT k, k FROM T"));
    ok(QStringLiteral("UPDATE K SET k = k + 1"));
    ok(QStringLiteral("UPDATE T SET k = k + 1 WHERE k >= 1"));
    EXPECT_ROWS(QStringLiteral("K"), 3);
    EXPECT_ROWS(QStringLiteral("T"), 3);
    EXPECT_EQ(error(QStringLiteral("UPDATE K SET k = 4 WHERE k < 4")), 2627);
    EXPECT_EQ(error(QStringLiteral("UPDATE K SET k = 5 - k, v = NULL")), 0);
    EXPECT_EQ(error(QStringLiteral("UPDATE K SET k = K.k + 1 FROM K JOIN T ON T.k = K.k")), 0);
    ok(QStringLiteral("CREATE VIEW VK AS SELECT k FROM K WHERE k > 2 WITH CHECK OPTION"));
    EXPECT_EQ(error(QStringLiteral("UPDATE VK SET k = k * 10 - 40")), 550);
    ok(QStringLiteral("UPDATE VK SET k = k + 10"));
    EXPECT_ROWS(QStringLiteral("K"), 3);
}

TEST_F(RowCounts, TransactionsSavepointsAndSessionsThatEnd)
{
    ok(QString::fromLatin1(kTable));
    ok(QStringLiteral("BEGIN TRAN INSERT INTO T VALUES (10, 'x'), (11, 'y')"));
    EXPECT_ROWS(QStringLiteral("T"), 5);
    ok(QStringLiteral("ROLLBACK TRAN"));
    EXPECT_ROWS(QStringLiteral("T"), 3);

    ok(QStringLiteral("BEGIN TRAN INSERT INTO T VALUES (10, 'x') SAVE TRAN s1 INSERT INTO T VALUES (11, 'y'), (12, 'z') DELETE FROM T WHERE k = 1"));
    EXPECT_ROWS(QStringLiteral("T"), 5);
    ok(QStringLiteral("ROLLBACK TRAN s1"));
    EXPECT_ROWS(QStringLiteral("T"), 4);
    ok(QStringLiteral("COMMIT TRAN"));
    EXPECT_ROWS(QStringLiteral("T"), 4);

    ok(QStringLiteral("BEGIN TRAN BEGIN TRAN DELETE FROM T COMMIT TRAN"));
    ok(QStringLiteral("ROLLBACK"));
    EXPECT_ROWS(QStringLiteral("T"), 4);
    EXPECT_EQ(error(QStringLiteral("BEGIN TRAN INSERT INTO T VALUES (20, 'a'), (1, 'dup')")), 2627);
    ok(QStringLiteral("INSERT INTO T VALUES (21, 'a') COMMIT"));
    EXPECT_ROWS(QStringLiteral("T"), 5);

    // schema changes rolled back with their rows
    ok(QStringLiteral("BEGIN TRAN CREATE TABLE N (a int) INSERT INTO N VALUES (1), (2) DROP TABLE T"));
    ok(QStringLiteral("ROLLBACK"));
    EXPECT_EQ(error(QStringLiteral("SELECT * FROM N")), 208);
    EXPECT_ROWS(QStringLiteral("T"), 5);

    // another session writes, commits, rolls back, and ends inside a transaction
    auto other = instance->connectIntegrated();
    EXPECT_ROWS(QStringLiteral("T"), 5, other.get());
    ok(QStringLiteral("BEGIN TRAN INSERT INTO T VALUES (30, 'o'), (31, 'o') COMMIT"), other.get());
    EXPECT_ROWS(QStringLiteral("T"), 7);
    ok(QStringLiteral("BEGIN TRAN DELETE FROM T WHERE k < 30"), other.get());
    EXPECT_ROWS(QStringLiteral("T"), 2, other.get());
    EXPECT_ROWS(QStringLiteral("T"), 7);
    ok(QStringLiteral("ROLLBACK"), other.get());
    EXPECT_ROWS(QStringLiteral("T"), 7, other.get());
    ok(QStringLiteral("INSERT INTO T VALUES (32, 'm')"));
    ok(QStringLiteral("BEGIN TRAN INSERT INTO T VALUES (33, 'o') DELETE FROM T WHERE k = 1"), other.get());
    other.reset(); // its transaction goes with it
    EXPECT_ROWS(QStringLiteral("T"), 8);
}

TEST_F(RowCounts, ProceduresAndDynamicSqlCountTheirRows)
{
    ok(QString::fromLatin1(kTable));
    ok(QStringLiteral("CREATE PROCEDURE AddSome AS\n"
                      "INSERT INTO T VALUES (40, 'p')\n"
                      "INSERT INTO T VALUES (41, 'p'), (1, 'dup')\n"
                      "INSERT INTO T VALUES (42, 'p'), (43, 'p')"));
    EXPECT_EQ(error(QStringLiteral("EXEC AddSome")), 2627);
    EXPECT_ROWS(QStringLiteral("T"), 6);
    ok(QStringLiteral("EXEC ('INSERT INTO T VALUES (50, ''e'') DELETE FROM T WHERE k = 40')"));
    EXPECT_ROWS(QStringLiteral("T"), 6);
    ok(QStringLiteral("EXEC sp_executesql N'INSERT INTO T SELECT k + @d, v FROM T WHERE k < 4', N'@d int', 60"));
    EXPECT_ROWS(QStringLiteral("T"), 9);
    EXPECT_EQ(error(QStringLiteral("EXEC sp_executesql N'INSERT INTO T VALUES (@k, ''s''), (1, ''dup'')', N'@k int', @k = 70")), 2627);
    ok(QStringLiteral("DECLARE @i int SET @i = 0 WHILE @i < 25 BEGIN INSERT INTO T VALUES (200 + @i, 'w') SET @i = @i + 1 END "
                      "DELETE FROM T WHERE k >= 210"));
    EXPECT_ROWS(QStringLiteral("T"), 19);
    EXPECT_EQ(error(QStringLiteral("BEGIN TRAN EXEC ('DELETE FROM T WHERE k > 60') EXEC AddSome")), 2627);
    EXPECT_ROWS(QStringLiteral("T"), 7);
    ok(QStringLiteral("ROLLBACK"));
    EXPECT_ROWS(QStringLiteral("T"), 19);
}

TEST_F(RowCounts, NewTempAndRebuiltTablesKeepTheirOwnCount)
{
    ok(QString::fromLatin1(kTable));
    ok(QStringLiteral("SELECT * INTO Copy FROM T SELECT * INTO Nothing FROM T WHERE 1 = 0"));
    EXPECT_ROWS(QStringLiteral("Copy"), 3);
    EXPECT_ROWS(QStringLiteral("Nothing"), 0);

    // temporary tables, private and global
    ok(QStringLiteral("SELECT k INTO #sel FROM T WHERE k > 1 CREATE TABLE #t (a int) INSERT INTO #t VALUES (1), (2) DELETE FROM #t WHERE a = 1"));
    EXPECT_ROWS(QStringLiteral("#sel"), 2);
    EXPECT_ROWS(QStringLiteral("#t"), 1);
    ok(QStringLiteral("BEGIN TRAN INSERT INTO #t SELECT k FROM T CREATE TABLE #gone (a int) INSERT INTO #gone VALUES (1) ROLLBACK"));
    EXPECT_ROWS(QStringLiteral("#t"), 1);
    auto other = instance->connectIntegrated();
    ok(QStringLiteral("CREATE TABLE ##g (a int) INSERT INTO ##g VALUES (1), (2), (3) CREATE TABLE #t (a int) INSERT INTO #t VALUES (5), (6), (7)"),
       other.get());
    ok(QStringLiteral("INSERT INTO ##g SELECT a FROM #t"));
    EXPECT_ROWS(QStringLiteral("##g"), 4, other.get());
    EXPECT_ROWS(QStringLiteral("#t"), 3, other.get());
    other.reset(); // its tables go; a new one made after them starts at 0
    ok(QStringLiteral("CREATE TABLE #later (a int)"));
    EXPECT_ROWS(QStringLiteral("#later"), 0);

    // a table dropped and made again under the same name (and object id) starts at 0
    ok(QStringLiteral("CREATE TABLE Big (a int) INSERT INTO Big SELECT k FROM T"));
    ok(QStringLiteral("DROP TABLE Big CREATE TABLE Big (a int, b int)"));
    EXPECT_ROWS(QStringLiteral("Big"), 0);
    ok(QStringLiteral("INSERT INTO Big (a) VALUES (1)"));
    EXPECT_ROWS(QStringLiteral("Big"), 1);

    // ALTER TABLE rebuilds and sp_rename keep the rows' count
    ok(QStringLiteral("ALTER TABLE T ADD n int NOT NULL CONSTRAINT DF_T_n DEFAULT 0"));
    EXPECT_ROWS(QStringLiteral("T"), 3);
    ok(QStringLiteral("ALTER TABLE T ALTER COLUMN v varchar(40) NULL"));
    ok(QStringLiteral("ALTER TABLE T DROP CONSTRAINT DF_T_n ALTER TABLE T DROP COLUMN n"));
    EXPECT_ROWS(QStringLiteral("T"), 3);
    EXPECT_EQ(error(QStringLiteral("ALTER TABLE T ALTER COLUMN v int NULL")), 245);
    ok(QStringLiteral("EXEC sp_rename 'T', 'T2'"));
    EXPECT_ROWS(QStringLiteral("T2"), 3);

    // the designer's rebuild through a new table, committed and rolled back
    const QString rebuild = QStringLiteral(
        "BEGIN TRAN\n"
        "CREATE TABLE Tmp_T2 (k int NOT NULL, v varchar(40) NULL, w int NULL)\n"
        "INSERT INTO Tmp_T2 (k, v, w) SELECT k, v, NULL FROM T2\n"
        "DROP TABLE T2\n"
        "EXEC sp_rename 'Tmp_T2', 'T2'\n"
        "ALTER TABLE T2 ADD CONSTRAINT PK_T2 PRIMARY KEY (k)\n"
        "INSERT INTO T2 (k) VALUES (9)");
    ok(rebuild);
    EXPECT_ROWS(QStringLiteral("T2"), 4);
    ok(QStringLiteral("ROLLBACK"));
    EXPECT_ROWS(QStringLiteral("T2"), 3);
    ok(rebuild);
    ok(QStringLiteral("COMMIT"));
    EXPECT_ROWS(QStringLiteral("T2"), 4);
}

TEST_F(RowCounts, TablesOfOtherDatabasesAndOfModel)
{
    // the first table of each database has the same object id: counts must not cross
    ok(QStringLiteral("CREATE DATABASE One CREATE DATABASE Two"));
    ok(QStringLiteral("CREATE TABLE One.dbo.A (a int) INSERT INTO One.dbo.A VALUES (1), (2), (3)"));
    ok(QStringLiteral("USE Two CREATE TABLE B (b int) INSERT INTO B VALUES (1)"));
    ok(QStringLiteral("INSERT INTO One.dbo.A SELECT b FROM B INSERT INTO One..A VALUES (9) DELETE FROM One.dbo.A WHERE a = 1"));
    EXPECT_ROWS(QStringLiteral("One.dbo.A"), 3);
    EXPECT_ROWS(QStringLiteral("B"), 1);
    ok(QStringLiteral("BEGIN TRAN DELETE FROM One.dbo.A ROLLBACK"));
    ok(QStringLiteral("USE One"));
    EXPECT_ROWS(QStringLiteral("A"), 3);
    EXPECT_ROWS(QStringLiteral("Two.dbo.B"), 1);
    ok(QStringLiteral("USE master DROP DATABASE Two CREATE DATABASE Two CREATE TABLE Two..B (b int)"));
    EXPECT_ROWS(QStringLiteral("Two.dbo.B"), 0);

    // a table of model comes into each new database with its rows and count
    ok(QStringLiteral("USE model CREATE TABLE M (m int) INSERT INTO M VALUES (1), (2)"));
    ok(QStringLiteral("USE master CREATE DATABASE Three"));
    EXPECT_ROWS(QStringLiteral("Three.dbo.M"), 2);
    ok(QStringLiteral("DELETE FROM Three..M WHERE m = 1"));
    EXPECT_ROWS(QStringLiteral("Three.dbo.M"), 1);
    EXPECT_ROWS(QStringLiteral("model.dbo.M"), 2);
}

TEST_F(RowCounts, DatabasesOfAnEarlierBuildGetExactCountsAtStart)
{
    ok(QStringLiteral("CREATE DATABASE Old CREATE TABLE Old..A (a int) INSERT INTO Old..A VALUES (1), (2), (3) CREATE TABLE Old..E (e int)"));
    ok(QStringLiteral("USE model CREATE TABLE M (m int) INSERT INTO M VALUES (1), (2) USE master"));
    ok(QStringLiteral("CREATE TABLE Here (h int) INSERT INTO Here VALUES (7)"));
    const QStringList files = {fileOf(QStringLiteral("master")), fileOf(QStringLiteral("model")), fileOf(QStringLiteral("msdb")),
                               fileOf(QStringLiteral("Old"))};
    stop();
    for (const QString& f : files) RawFile(f, true).exec(QStringLiteral("DROP TABLE cat_rowcounts"));
    start();
    EXPECT_ROWS(QStringLiteral("Old.dbo.A"), 3);
    EXPECT_ROWS(QStringLiteral("Old.dbo.E"), 0);
    EXPECT_ROWS(QStringLiteral("Here"), 1);
    EXPECT_ROWS(QStringLiteral("model.dbo.M"), 2);
    EXPECT_ROWS(QStringLiteral("tempdb.dbo.M"), 2); // tempdb is made from model at each start
    ok(QStringLiteral("INSERT INTO Old..A VALUES (4) DELETE FROM Old..E CREATE DATABASE New CREATE TABLE #t (a int) INSERT INTO #t VALUES (1)"));
    EXPECT_ROWS(QStringLiteral("Old.dbo.A"), 4);
    EXPECT_ROWS(QStringLiteral("New.dbo.M"), 2);
    EXPECT_ROWS(QStringLiteral("#t"), 1);
}

// A table whose rows cannot be read keeps no figure; the rest of its database is counted and written.
TEST_F(RowCounts, AnUnreadableTableOfAnEarlierBuildLeavesTheOthersCounted)
{
    ok(QStringLiteral("CREATE DATABASE Old CREATE TABLE Old..A (a int) INSERT INTO Old..A VALUES (1), (2) CREATE TABLE Old..Lost (l int)"));
    const QString file = fileOf(QStringLiteral("Old"));
    stop();
    {
        RawFile raw(file, true);
        const auto lost = raw.rows(QStringLiteral("SELECT id FROM cat_objects WHERE name = 'Lost'"));
        ASSERT_EQ(lost.size(), 1u);
        raw.exec(QStringLiteral("DROP TABLE cat_rowcounts"));
        raw.exec(QStringLiteral("DROP TABLE t") + lost[0][0].toString());
    }
    start();
    ok(QStringLiteral("INSERT INTO Old..A VALUES (3)"));
    EXPECT_ROWS(QStringLiteral("Old.dbo.A"), 3);
    EXPECT_EQ(RawFile(file).rows(QStringLiteral("SELECT count(*) FROM cat_rowcounts")).at(0).at(0).toLongLong(), 1);
    stop();
    RawFile(file, true).exec(QStringLiteral("DELETE FROM cat_objects WHERE name = 'Lost'"));
    start();
}

TEST_F(RowCounts, CursorsOverMoreThanAWholeTableCountTheirOwnRows)
{
    ok(QStringLiteral("CREATE TABLE Q (k int NOT NULL, v varchar(10) NULL)\n"
                      "INSERT INTO Q VALUES (1, 'a'), (2, 'a'), (3, 'b'), (4, 'b'), (5, 'c')"));
    ok(QStringLiteral("CREATE VIEW VQ AS SELECT k, v FROM Q WHERE k <= 2"));
    const std::vector<std::pair<const char*, long long>> cases = {
        {"SELECT * FROM Q", 5},
        {"Select  * from [dbo].[Q]", 5},
        {"SELECT k FROM Q ORDER BY k DESC", 5},
        {"SELECT Q.* FROM Q", 5},
        {"SELECT * FROM Q WHERE k > 2", 3},
        {"SELECT * FROM Q WHERE 1 = 0", 0},
        {"SELECT TOP 2 * FROM Q", 2},
        {"SELECT TOP 0 * FROM Q", 0},
        {"SELECT TOP 50 PERCENT * FROM Q ORDER BY k", 3},
        {"SELECT DISTINCT v FROM Q", 3},
        {"SELECT v FROM Q GROUP BY v", 3},
        {"SELECT v, count(*) FROM Q GROUP BY v HAVING count(*) > 1", 2},
        {"SELECT COUNT(*) FROM Q", 1},
        {"SELECT max(k) FROM Q", 1},
        {"SELECT * FROM VQ", 2},
        {"SELECT * FROM Q a JOIN Q b ON a.v = b.v", 9},
        {"SELECT * FROM Q UNION ALL SELECT * FROM Q", 10},
        {"SELECT v FROM Q UNION SELECT v FROM Q", 3},
    };
    for (const auto& [sql, expected] : cases) {
        SCOPED_TRACE(sql);
        const auto [counted, fetched] = cursor(QString::fromLatin1(sql));
        EXPECT_EQ(fetched, expected);
        EXPECT_EQ(counted, fetched);
    }

    // a table without a kept count is counted, and writes to it go on
    RawFile(fileOf(QStringLiteral("master")), true)
        .exec(QStringLiteral("DELETE FROM cat_rowcounts WHERE table_id = (SELECT id FROM cat_objects WHERE name = 'Q')"));
    ok(QStringLiteral("INSERT INTO Q VALUES (6, 'd') DELETE FROM Q WHERE k = 1"));
    EXPECT_EQ(cursor(QStringLiteral("SELECT * FROM Q")), std::make_pair(5LL, 5LL));
}

} // namespace
