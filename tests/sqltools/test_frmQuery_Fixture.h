#pragma once
// A query window on a temporary embedded instance holding the database "Vendas".
#include "SqlToolsFixture.h"
#include "controls/SelOpta.h"
#include "sqltools/QueryGrid.h"
#include "sqltools/frmQuery.h"

#include <QApplication>
#include <QHeaderView>
#include <QTabWidget>
#include <QToolButton>

class QueryWindowTest : public SqlToolsServerTest {
protected:
    void SetUp() override {
        StartServer();
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
        StopServer();
    }

    // Types the text into an empty editor, as the user does.
    void type(const QString& text) { TypeInto(form->txtQuery, text); }

    void pressF5() { QTest::keyClick(form->txtQuery, Qt::Key_F5); }

    QString header(int column) const {
        return form->grdGrid->headerText(column);
    }
    QString rowHeader(int row) const {
        return form->grdGrid->model()->headerData(row, Qt::Vertical).toString();
    }
    QString cell(int row, int column) const {
        return form->grdGrid->text(row, column);
    }
    QString messages() const { return form->txtMsg->toPlainText(); }

    frmQuery* form = nullptr;
};
