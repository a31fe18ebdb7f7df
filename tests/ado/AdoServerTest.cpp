// The ADO layer on a temporary instance: connections, the data control, the editable model.
#include "common/TempDir.h"

#include "ado/AdoError.h"
#include "ado/Connection.h"
#include "ado/DataControl.h"
#include "ado/Recordset.h"
#include "ado/RecordsetModel.h"
#include "engine/Engine.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

using namespace ado;

namespace {

const QString kConn = QStringLiteral(
    "Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;"
    "Initial Catalog=Shop;Data Source=(LOCAL)");

class AdoServer : public ::testing::Test {
protected:
    void SetUp() override {
        engine::Instance::setDataRoot(dir.path());
        admin = engine::Instance::forServer("(LOCAL)")->connectIntegrated();
        run("CREATE DATABASE Shop");
        run("USE Shop");
    }
    engine::BatchResult run(const QString& batch) {
        engine::BatchResult r = admin->execute(batch);
        if (r.failed())
            setupError = r.errors.front().text;
        return r;
    }
    bool setUp(const QStringList& batches) {
        for (const QString& b : batches)
            if (run(b).failed())
                return false;
        return true;
    }
    QString scalar(const QString& select) {
        engine::BatchResult r = admin->execute(select);
        if (r.resultSets.empty() || r.resultSets[0].rows.empty())
            return QStringLiteral("<none>");
        return r.resultSets[0].text(0, 0);
    }
    // Records the model's write failures: number and text.
    struct Failures {
        std::vector<std::pair<int, QString>> list;
        int count() const { return int(list.size()); }
        void clear() { list.clear(); }
    };
    void watch(RecordsetModel* model, Failures& f) {
        QObject::connect(model, &RecordsetModel::writeFailed,
                         [&f](int n, const QString& text) { f.list.emplace_back(n, text); });
    }
    TempDir dir;
    std::unique_ptr<engine::Session> admin;
    QString setupError;
};

#define SETUP_OR_SKIP(...)                                                                         \
    do {                                                                                           \
        if (!setUp(__VA_ARGS__))                                                                   \
            GTEST_SKIP() << "the engine does not run this set-up yet: "                           \
                         << setupError.toStdString();                                              \
    } while (0)

const QStringList kItems = {
    "CREATE TABLE Items (Id int NOT NULL PRIMARY KEY, Code varchar(10) NOT NULL UNIQUE, "
    "Qty int NULL, Note varchar(5) NULL)",
    "INSERT INTO Items VALUES (1, 'A', 10, 'x')",
    "INSERT INTO Items VALUES (2, 'B', 20, NULL)",
    "INSERT INTO Items VALUES (3, 'C', NULL, 'z')",
};

} // namespace

TEST_F(AdoServer, ConnectionsFailClearlyAndNeverShowThePassword) {
    Connection c;
    try {
        c.Open("Provider=SQLOLEDB.1;Integrated Security=SSPI;Initial Catalog=Shop");
        FAIL();
    } catch (const AdoError& e) {
        EXPECT_TRUE(e.Description().contains("Data Source"));
    }
    try {
        c.Open("Provider=SQLOLEDB.1;User ID=sa;PWD=Very$ecret9;Data Source=FARAWAY");
        FAIL();
    } catch (const AdoError& e) {
        EXPECT_EQ(e.Number(), 17);
        EXPECT_FALSE(e.Description().contains("Very$ecret9"));
    }
    try {
        c.Open("Provider=SQLOLEDB.1;User ID=nobody;PWD=Very$ecret9;Data Source=(LOCAL)");
        FAIL();
    } catch (const AdoError& e) {
        EXPECT_EQ(e.Number(), 18456);
        EXPECT_FALSE(e.Description().contains("Very$ecret9"));
    }
    EXPECT_FALSE(c.IsOpen());
    c.Open(kConn);
    EXPECT_TRUE(c.IsOpen());
    EXPECT_EQ(c.session().currentDatabase().toLower(), "shop");
}

TEST_F(AdoServer, TheConnectionStringKeepsThePasswordOnlyWhenAskedTo) {
    ASSERT_FALSE(run("EXEC sp_addlogin 'clerk', 'Very$ecret9'").failed()) << setupError.toStdString();
    Connection c;
    c.Open("Provider=SQLOLEDB.1;Persist Security Info=False;User ID=clerk;PWD=Very$ecret9;Data Source=(LOCAL)");
    EXPECT_EQ(c.session().loginName(), "clerk");
    EXPECT_EQ(c.ConnectionString(), "Provider=SQLOLEDB.1;Persist Security Info=False;User ID=clerk;Data Source=(LOCAL)");
    // absent reads as False
    c.Open("Provider=SQLOLEDB.1;User ID=clerk;Password='Very$ecret9';Data Source=(LOCAL);");
    EXPECT_EQ(c.ConnectionString(), "Provider=SQLOLEDB.1;User ID=clerk;Data Source=(LOCAL);");
    const QString kept = "Provider=SQLOLEDB.1;Persist Security Info=True;User ID=clerk;PWD=Very$ecret9;Data Source=(LOCAL)";
    c.Open(kept);
    EXPECT_EQ(c.ConnectionString(), kept);
}

TEST_F(AdoServer, DataControlShowsRowsAndReportsErrorsThroughItsEvent) {
    SETUP_OR_SKIP(kItems);
    DataControl dat;
    QStringList reported;
    QObject::connect(&dat, &DataControl::Error,
                     [&](int, const QString& description, bool& cancelDisplay) {
                         cancelDisplay = true;
                         reported << description;
                     });
    dat.SetConnectionString(kConn);
    dat.SetRecordSource("Select  * from [Items]");
    dat.Refresh();
    auto* model = dat.model();
    ASSERT_EQ(model->columnCount(), 4);
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), "Code");
    ASSERT_EQ(model->rowCount(), 3);
    EXPECT_EQ(model->data(model->index(1, 2)).toString(), "20");
    EXPECT_EQ(model->data(model->index(2, 2)).toString(), ""); // NULL
    EXPECT_TRUE(reported.isEmpty());

    dat.SetRecordSource("Select * from [Missing Table]");
    EXPECT_THROW(dat.Refresh(), AdoError);
    ASSERT_EQ(reported.size(), 1);
    EXPECT_TRUE(reported[0].contains("Missing Table"));
    EXPECT_EQ(model->rowCount(), 0);
}

TEST_F(AdoServer, EditsAreWrittenBackAndRefusedOnesLeaveTheRow) {
    SETUP_OR_SKIP(kItems);
    DataControl dat;
    dat.SetConnectionString(kConn);
    dat.SetRecordSource("SELECT * FROM Items ORDER BY Id");
    dat.Refresh();
    auto* model = dat.model();
    Failures failed;
    watch(model, failed);
    ASSERT_TRUE(model->flags(model->index(0, 2)) & Qt::ItemIsEditable);

    EXPECT_TRUE(model->setData(model->index(0, 2), "15"));
    EXPECT_EQ(scalar("SELECT Qty FROM Items WHERE Id = 1"), "15");
    EXPECT_EQ(model->data(model->index(0, 2)).toString(), "15");
    EXPECT_EQ(failed.count(), 0);

    struct Case {
        int column;
        const char* value;
        int number;
    } cases[] = {{2, "abc", 245}, {1, "B", 2627}, {3, "too long", 8152}};
    for (const Case& c : cases) {
        failed.clear();
        const QString before = model->data(model->index(0, c.column)).toString();
        EXPECT_FALSE(model->setData(model->index(0, c.column), QString::fromUtf8(c.value))) << c.value;
        ASSERT_EQ(failed.count(), 1) << c.value;
        if (c.number > 0) {
            EXPECT_EQ(failed.list[0].first, c.number) << c.value;
        }
        EXPECT_FALSE(failed.list[0].second.isEmpty());
        EXPECT_EQ(model->data(model->index(0, c.column)).toString(), before);
    }
    EXPECT_EQ(scalar("SELECT Code FROM Items WHERE Id = 1"), "A");

    // Setting NULL on a NOT NULL column through an empty number: 515.
    failed.clear();
    EXPECT_FALSE(model->setData(model->index(0, 0), ""));
    ASSERT_EQ(failed.count(), 1);
    EXPECT_EQ(failed.list[0].first, 515);
}

TEST_F(AdoServer, TablesWithoutKeysAreEditedByTheirValues) {
    SETUP_OR_SKIP({"CREATE TABLE Loose (a int NULL, b varchar(5) NULL)",
                   "INSERT INTO Loose VALUES (1, 'x')", "INSERT INTO Loose VALUES (1, 'x')",
                   "INSERT INTO Loose VALUES (2, NULL)"});
    DataControl dat;
    dat.SetConnectionString(kConn);
    dat.SetRecordSource("select a, b from Loose order by a");
    dat.Refresh();
    auto* model = dat.model();
    Failures failed;
    watch(model, failed);
    EXPECT_TRUE(model->setData(model->index(2, 1), "y")); // the row with a NULL
    EXPECT_EQ(scalar("SELECT b FROM Loose WHERE a = 2"), "y");
    EXPECT_FALSE(model->setData(model->index(0, 1), "z")); // two equal rows: not told apart
    EXPECT_EQ(failed.count(), 1);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Loose WHERE b = 'z'"), "0");
}

TEST_F(AdoServer, OnlyOneTableSelectsAreEditable) {
    SETUP_OR_SKIP(kItems);
    DataControl dat;
    dat.SetConnectionString(kConn);
    dat.SetRecordSource("SELECT i.Id, j.Code FROM Items i JOIN Items j ON i.Id = j.Id");
    dat.Refresh();
    EXPECT_FALSE(dat.model()->flags(dat.model()->index(0, 0)) & Qt::ItemIsEditable);
    dat.SetRecordSource("SELECT Id, Qty * 2 AS Twice FROM Items");
    dat.Refresh();
    EXPECT_TRUE(dat.model()->flags(dat.model()->index(0, 0)) & Qt::ItemIsEditable);
    EXPECT_FALSE(dat.model()->flags(dat.model()->index(0, 1)) & Qt::ItemIsEditable);
}

TEST_F(AdoServer, EveryRowIsCountedAtOnceAndReadWhenAskedFor) {
    QStringList script = {"CREATE TABLE Many (n int NOT NULL, v varchar(5) NULL)",
                          "INSERT INTO Many VALUES (1, '1')"};
    for (int i = 0; i < 10; ++i) // 1024 rows
        script << "INSERT INTO Many SELECT n + (SELECT COUNT(*) FROM Many), 'x' FROM Many";
    SETUP_OR_SKIP(script);
    DataControl dat;
    dat.SetConnectionString(kConn);
    dat.SetRecordSource("SELECT n FROM Many ORDER BY n");
    dat.Refresh();
    auto* model = dat.model();
    model->setFetchSize(100);
    RecordsetPtr rs = dat.Recordset();
    EXPECT_EQ(model->rowCount(), 1024);
    EXPECT_EQ(rs->RowsRead(), 0);
    // The last rows, then the first, then the middle: one page each.
    EXPECT_EQ(model->data(model->index(1023, 0)).toString(), "1024");
    EXPECT_EQ(rs->RowsRead(), 24);
    EXPECT_EQ(model->data(model->index(0, 0)).toString(), "1");
    EXPECT_EQ(model->data(model->index(550, 0)).toString(), "551");
    EXPECT_EQ(model->data(model->index(599, 0)).toString(), "600");
    EXPECT_EQ(rs->RowsRead(), 224);
    EXPECT_EQ(model->data(model->index(1024, 0)), QVariant());

    // TOP, WHERE and an empty result are counted as the server gives them.
    dat.SetRecordSource("SELECT TOP 10 n FROM Many WHERE n > 500 ORDER BY n DESC");
    dat.Refresh();
    ASSERT_EQ(model->rowCount(), 10);
    EXPECT_EQ(model->data(model->index(0, 0)).toString(), "1024");
    EXPECT_EQ(model->data(model->index(9, 0)).toString(), "1015");
    dat.SetRecordSource("SELECT n FROM Many WHERE n < 0");
    dat.Refresh();
    EXPECT_EQ(model->rowCount(), 0);
}

TEST_F(AdoServer, ARowThatCannotBeReadIsReportedOnceAndShowsEmpty) {
    SETUP_OR_SKIP({"CREATE TABLE Codes (n int NOT NULL, v varchar(5) NULL)",
                   "INSERT INTO Codes VALUES (1, '10')", "INSERT INTO Codes VALUES (2, 'abc')",
                   "INSERT INTO Codes VALUES (3, '30')"});
    DataControl dat;
    dat.SetConnectionString(kConn);
    dat.SetRecordSource("SELECT n, CONVERT(int, v) AS c FROM Codes");
    dat.Refresh();
    auto* model = dat.model();
    model->setFetchSize(1);
    Failures failures;
    watch(model, failures);
    ASSERT_EQ(model->rowCount(), 3);
    EXPECT_EQ(model->data(model->index(0, 1)).toString(), "10");
    EXPECT_EQ(model->data(model->index(1, 1)), QVariant());
    EXPECT_EQ(model->data(model->index(1, 0)), QVariant());
    QCoreApplication::processEvents();
    ASSERT_EQ(failures.count(), 1);
    EXPECT_EQ(failures.list[0].first, 245);

    // A SELECT that must read every value to give its first row fails as it opens.
    dat.SetRecordSource("SELECT n, CONVERT(int, v) AS c FROM Codes ORDER BY c");
    try {
        dat.Refresh();
        ADD_FAILURE() << "the SELECT opened";
    } catch (const AdoError& e) {
        EXPECT_EQ(e.Number(), 245);
    }
}

TEST_F(AdoServer, EditsWhileRowsRemainOnTheServer) {
    QStringList script = {"CREATE TABLE Many (n int NOT NULL PRIMARY KEY, v varchar(10) NULL)",
                          "INSERT INTO Many VALUES (1, 'a')"};
    for (int i = 0; i < 9; ++i) // 512 rows
        script << "INSERT INTO Many SELECT n + (SELECT COUNT(*) FROM Many), v FROM Many";
    SETUP_OR_SKIP(script);
    DataControl dat;
    dat.SetConnectionString(kConn);
    dat.SetRecordSource("SELECT * FROM Many ORDER BY n");
    dat.Refresh();
    auto* model = dat.model();
    model->setFetchSize(100);
    ASSERT_EQ(model->rowCount(), 512);
    EXPECT_TRUE(model->setData(model->index(0, 1), "changed"));
    EXPECT_EQ(scalar("SELECT v FROM Many WHERE n = 1"), "changed");
    EXPECT_TRUE(model->setData(model->index(450, 1), "far"));
    EXPECT_EQ(scalar("SELECT v FROM Many WHERE n = 451"), "far");
    EXPECT_EQ(model->data(model->index(511, 0)).toString(), "512");
    EXPECT_EQ(model->data(model->index(0, 1)).toString(), "changed");
    EXPECT_EQ(model->data(model->index(450, 1)).toString(), "far");
}

TEST_F(AdoServer, RowsWithoutKeyAreFoundByDatesMoneyAndBinaryValues) {
    SETUP_OR_SKIP({"CREATE TABLE Mixed (d datetime NULL, m money NULL, x decimal(10, 2) NULL, "
                   "b varbinary(10) NULL, t text NULL, v varchar(5) NULL)",
                   "INSERT INTO Mixed VALUES ('2011-03-05 14:07:00.123', 12.5, 3.25, 0x0A0B, 'long', 'a')",
                   "INSERT INTO Mixed VALUES ('2011-03-05 14:07:00.127', 12.5, 3.25, 0x0A0B, 'long', 'a')"});
    DataControl dat;
    dat.SetConnectionString(kConn);
    dat.SetRecordSource("SELECT * FROM Mixed ORDER BY d");
    dat.Refresh();
    auto* model = dat.model();
    ASSERT_EQ(model->rowCount(), 2);
    EXPECT_TRUE(model->setData(model->index(1, 5), "b"));
    EXPECT_EQ(scalar("SELECT v FROM Mixed WHERE d = '2011-03-05T14:07:00.127'"), "b");
    EXPECT_EQ(scalar("SELECT v FROM Mixed WHERE d = '2011-03-05T14:07:00.123'"), "a");
    EXPECT_TRUE(model->setData(model->index(0, 1), "")); // an emptied number is NULL
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Mixed WHERE m IS NULL"), "1");
    EXPECT_EQ(model->data(model->index(0, 1)).toString(), "");
}
