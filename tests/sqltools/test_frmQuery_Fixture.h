#pragma once
// A query window on a temporary embedded instance holding the database "Vendas".
#include "common/TempDir.h"
#include "controls/SelOpta.h"
#include "core/Settings.h"
#include "core/cServer.h"
#include "core/cServerCOL.h"
#include "core/cVarnolt.h"
#include "dmo/Databases.h"
#include "dmo/SQLServer.h"
#include "engine/Engine.h"
#include "sqltools/frmQuery.h"

#include <QApplication>
#include <QHeaderView>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>
#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

class QueryWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine::Instance::setDataRoot(data.path());
        SetSettingsFile(settings.path() + QStringLiteral("/varnolt.ini"));
        cVarnolt::release();
        server = &cVarnolt::instance().clsServers().Add(QStringLiteral("(LOCAL)"), true, {}, {});
        server->Connect();
        sql(QStringLiteral("master"), QStringLiteral("CREATE DATABASE Vendas"));
        sql(QStringLiteral("Vendas"),
            QStringLiteral("CREATE TABLE Clientes (Id int NOT NULL, Nome varchar(40) NULL)\n"
                           "INSERT INTO Clientes VALUES (1, 'Ana')\n"
                           "INSERT INTO Clientes VALUES (2, 'Bartolomeu Dias de Novais')"));
        server->LoadDatabases();
        form = frmQuery::Default();
        form->ShowForm(server, QStringLiteral("Vendas"));
        QApplication::setActiveWindow(form->window());
    }

    void TearDown() override {
        if (frmQuery::Loaded())
            frmQuery::Default()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        cVarnolt::release();
        SetSettingsFile({});
    }

    // Runs T-SQL behind the window's back, on the server's own session.
    void sql(const QString& db, const QString& text) {
        auto databases = server->SQLDMOServer()->Databases();
        databases->Refresh();
        databases->Item(db)->ExecuteImmediate(text);
    }

    // Types the text into an empty editor, as the user does.
    void type(const QString& text) {
        form->txtQuery->setFocus();
        form->txtQuery->selectAll();
        QTest::keyClick(form->txtQuery, Qt::Key_Delete);
        const QStringList lines = text.split(u'\n');
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (i > 0)
                QTest::keyClick(form->txtQuery, Qt::Key_Return);
            QTest::keyClicks(form->txtQuery, lines[i]);
        }
    }

    void pressF5() { QTest::keyClick(form->txtQuery, Qt::Key_F5); }

    QString header(int column) const {
        const QTableWidgetItem* item = form->grdGrid->horizontalHeaderItem(column);
        return item ? item->text()
                    : form->grdGrid->model()->headerData(column, Qt::Horizontal).toString();
    }
    QString rowHeader(int row) const {
        return form->grdGrid->model()->headerData(row, Qt::Vertical).toString();
    }
    QString cell(int row, int column) const {
        const QTableWidgetItem* item = form->grdGrid->item(row, column);
        return item ? item->text() : QString();
    }
    QString messages() const { return form->txtMsg->toPlainText(); }

    TempDir data;
    TempDir settings;
    cServer* server = nullptr;
    frmQuery* form = nullptr;
};
